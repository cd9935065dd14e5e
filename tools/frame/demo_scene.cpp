#include "tools/frame/demo_scene.h"

#include "engine/polygon_group.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"

bool DemoSceneLoadDoorOpen(const std::string& folder, MissionScene* scene, std::string* error) {
  if (!WriteDemoData(folder, error) ||
      !MissionSceneLoad(folder + "/TEXTURES.CAN", folder + "/M1.CAN", scene, error)) {
    return false;
  }
  GroupSetMoverState(GroupFindByName(scene->world, kDemoDoorGroup), 1.0f, 0.0f);
  return true;
}
