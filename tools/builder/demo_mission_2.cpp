#include "tools/builder/demo_mission_2.h"

#include "platform/paths.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_gallery_models.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_level_2.h"
#include "tools/builder/demo_models.h"

const char* const kDemoMission2BriefingTexts[2] = {
    "MISSION 2: COOLING TOWER\r\n"
    "\r\n"
    "THE PUMPS ARE DOWN, BUT THE\r\n"
    "TOWER'S CORE IS RUNNING HOT.\r\n"
    "TURN BOTH VALVES IN THE DOCK\r\n"
    "TO UNSEAL THE CORRIDOR.\r\n",
    "CLIMB THE TOWER AND TRIP THE\r\n"
    "ROOF SENSOR BEFORE THE CORE\r\n"
    "GOES UP. YOU HAVE FOUR\r\n"
    "MINUTES.\r\n",
};
const char* const kDemoMission2FailureText =
    "MISSION FAILED\r\n"
    "\r\n"
    "THE CORE WENT UP WITH THE\r\n"
    "TOWER. TRY AGAIN.\r\n";

namespace {

// A demo enemy mesh under another enemy type's model name.
bool AddRenamed(const std::vector<BuilderModel>& enemies, const char* from, const char* to,
                std::vector<BuilderModel>* models) {
  for (const BuilderModel& model : enemies) {
    if (model.name != from) continue;
    BuilderModel copy = model;
    copy.name = to;
    copy.storedHash = 0;
    models->push_back(std::move(copy));
    return true;
  }
  return false;
}

}  // namespace

std::vector<BuilderModel> MakeDemoMission2Models() {
  std::vector<BuilderModel> models = MakeDemoModels();
  const std::vector<BuilderModel> enemies = MakeDemoEnemyModels();
  if (!AddRenamed(enemies, kDemoGunModel, kDemo2TurretModel, &models) ||
      !AddRenamed(enemies, kDemoTankModel, kDemo2TruckModel, &models) ||
      !AddRenamed(enemies, kDemoDroneModel, kDemo2WingDroneModel, &models)) {
    return {};
  }
  std::vector<BuilderModel> gallery = MakeDemoGalleryModels();
  if (gallery.empty()) return {};
  for (BuilderModel& model : gallery) models.push_back(std::move(model));
  return models;
}

bool AddDemoMission2Members(ArchiveWriter* archive, std::string* error) {
  const std::vector<BuilderModel> models = MakeDemoMission2Models();
  if (models.empty() || !AddObjectsMember(archive, models)) {
    *error = "cannot make the second mission's models";
    return false;
  }
  std::vector<uint8_t> world = DemoLevel2Member();
  if (world.empty() || !archive->AddMember(kDemoLevel2Member, std::move(world))) {
    *error = "cannot make the second mission's level";
    return false;
  }
  ByteWriter fileId;
  fileId.I32(kDemoMission2FileId);
  if (!archive->AddMember("FILE_ID", fileId.Take())) {
    *error = "cannot add the second mission's file id";
    return false;
  }
  InterfaceArt art(archive, DemoInterfacePalette());
  AddBriefingPicture(&art, "BRIEF1.BMP", "COOLING TOWER", {70, 150, 210}, 91);
  AddBriefingPicture(&art, "BRIEF2.BMP", "THE CORE", {240, 120, 40}, 101);
  AddBriefingPicture(&art, "FAIL2.BMP", "MISSION FAILED", {120, 60, 50}, 111);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  if (!AddBriefingText(archive, "BRIEF1.TXT", kDemoMission2BriefingTexts[0]) ||
      !AddBriefingText(archive, "BRIEF2.TXT", kDemoMission2BriefingTexts[1]) ||
      !AddBriefingText(archive, "FAIL2.TXT", kDemoMission2FailureText)) {
    *error = "cannot add the second mission's briefing texts";
    return false;
  }
  return true;
}

bool WriteDemoMission2(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  if (!AddDemoMission2Members(&archive, error)) return false;
  const std::string path = PathJoin(folder, "M2.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
