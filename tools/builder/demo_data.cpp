#include "tools/builder/demo_data.h"

#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_textures.h"

bool WriteDemoData(const std::string& folder, std::string* error) {
  return WriteDemoMission1(folder, error) && WriteDemoTextures(folder, error);
}
