#include "tools/builder/demo_mission_2.h"

#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_gallery_models.h"
#include "tools/builder/demo_level_2.h"
#include "tools/builder/demo_mission_archive.h"
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

std::vector<BuilderModel> MakeDemoMission2Models() {
  std::vector<BuilderModel> models = MakeDemoModels();
  const std::vector<BuilderModel> enemies = MakeDemoEnemyModels();
  if (!AddRenamedModel(enemies, kDemoGunModel, kDemo2TurretModel, &models) ||
      !AddRenamedModel(enemies, kDemoTankModel, kDemo2TruckModel, &models) ||
      !AddRenamedModel(enemies, kDemoDroneModel, kDemo2WingDroneModel, &models)) {
    return {};
  }
  std::vector<BuilderModel> gallery = MakeDemoGalleryModels();
  if (gallery.empty()) return {};
  for (BuilderModel& model : gallery) models.push_back(std::move(model));
  return models;
}

bool AddDemoMission2Members(ArchiveWriter* archive, std::string* error) {
  DemoMissionParts parts{"the second mission's", MakeDemoMission2Models(), kDemoLevel2Member, DemoLevel2Member(),
                         kDemoMission2FileId, {}};
  parts.pages = {
      {"BRIEF1.BMP", "COOLING TOWER", {70, 150, 210}, 91, "BRIEF1.TXT", kDemoMission2BriefingTexts[0]},
      {"BRIEF2.BMP", "THE CORE", {240, 120, 40}, 101, "BRIEF2.TXT", kDemoMission2BriefingTexts[1]},
      {"FAIL2.BMP", "MISSION FAILED", {120, 60, 50}, 111, "FAIL2.TXT", kDemoMission2FailureText},
  };
  return AddDemoMissionParts(archive, std::move(parts), error);
}

bool WriteDemoMission2(const std::string& folder, std::string* error) {
  return WriteDemoMissionArchive(folder, "M2.CAN", AddDemoMission2Members, error);
}
