#include "tools/builder/demo_data.h"

#include "tools/builder/demo_cockpit.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_mission_2.h"
#include "tools/builder/demo_mission_3.h"
#include "tools/builder/demo_mission_arena.h"
#include "tools/builder/demo_satellite.h"
#include "tools/builder/demo_sounds.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/demo_videos.h"

bool WriteDemoData(const std::string& folder, std::string* error) {
  return WriteDemoMission1(folder, error) && WriteDemoMission2(folder, error) &&
         WriteDemoMission3(folder, error) && WriteDemoTextures(folder, error) &&
         WriteDemoVideos(folder, error) && WriteDemoInterface(folder, error) && WriteDemoSounds(folder, error) &&
         WriteDemoCockpit(folder, error) && WriteDemoSatelliteTiming(folder, error) &&
         WriteDemoArenaMission(folder, error);
}
