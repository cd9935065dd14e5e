#include "tools/builder/demo_mission_3.h"

#include "tools/builder/demo_boss_models.h"
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_level_3.h"
#include "tools/builder/demo_mission_archive.h"
#include "tools/builder/demo_models.h"

const char* const kDemoMission3BriefingTexts[2] = {
    "MISSION 3: REACTOR HEART\r\n"
    "\r\n"
    "THE TOWER IS COOL. NOW FLY\r\n"
    "INTO THE STATION'S HEART,\r\n"
    "PAST ITS GUNS AND TWIN DOORS,\r\n"
    "TO THE REACTOR ARENA.\r\n",
    "A FOUR-PART MACHINE GUARDS\r\n"
    "THE CORE. WEAR ITS PARTS DOWN\r\n"
    "UNTIL THE CORE SHOWS ITSELF,\r\n"
    "THEN DESTROY THE CORE.\r\n"
    "YOU HAVE EIGHT MINUTES.\r\n",
};
const char* const kDemoMission3FailureText =
    "MISSION FAILED\r\n"
    "\r\n"
    "THE REACTOR MELTED DOWN\r\n"
    "WITH THE STATION. TRY AGAIN.\r\n";

std::vector<BuilderModel> MakeDemoMission3Models() {
  std::vector<BuilderModel> models = MakeDemoModels();
  const std::vector<BuilderModel> enemies = MakeDemoEnemyModels();
  if (!AddRenamedModel(enemies, kDemoGunModel, kDemo3GunModel, &models) ||
      !AddRenamedModel(enemies, kDemoStrikerModel, kDemo3FighterModel, &models)) {
    return {};
  }
  for (BuilderModel& boss : MakeDemoBossModels()) models.push_back(std::move(boss));
  return models;
}

bool AddDemoMission3Members(ArchiveWriter* archive, std::string* error) {
  DemoMissionParts parts{"the third mission's", MakeDemoMission3Models(), kDemoLevel3Member, DemoLevel3Member(),
                         kDemoMission3FileId, {}};
  parts.pages = {
      {"BRIEF1.BMP", "REACTOR HEART", {150, 60, 200}, 121, "BRIEF1.TXT", kDemoMission3BriefingTexts[0]},
      {"BRIEF2.BMP", "THE CORE", {250, 90, 30}, 131, "BRIEF2.TXT", kDemoMission3BriefingTexts[1]},
      {"FAIL3.BMP", "MISSION FAILED", {110, 50, 70}, 141, "FAIL3.TXT", kDemoMission3FailureText},
  };
  return AddDemoMissionParts(archive, std::move(parts), error);
}

bool WriteDemoMission3(const std::string& folder, std::string* error) {
  return WriteDemoMissionArchive(folder, "M3.CAN", AddDemoMission3Members, error);
}
