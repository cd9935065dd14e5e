#include "tools/builder/demo_mission_3.h"

#include "platform/paths.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_boss_models.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_level_3.h"
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

std::vector<BuilderModel> MakeDemoMission3Models() {
  std::vector<BuilderModel> models = MakeDemoModels();
  const std::vector<BuilderModel> enemies = MakeDemoEnemyModels();
  if (!AddRenamed(enemies, kDemoGunModel, kDemo3GunModel, &models) ||
      !AddRenamed(enemies, kDemoStrikerModel, kDemo3FighterModel, &models)) {
    return {};
  }
  for (BuilderModel& boss : MakeDemoBossModels()) models.push_back(std::move(boss));
  return models;
}

bool AddDemoMission3Members(ArchiveWriter* archive, std::string* error) {
  const std::vector<BuilderModel> models = MakeDemoMission3Models();
  if (models.empty() || !AddObjectsMember(archive, models)) {
    *error = "cannot make the third mission's models";
    return false;
  }
  std::vector<uint8_t> world = DemoLevel3Member();
  if (world.empty() || !archive->AddMember(kDemoLevel3Member, std::move(world))) {
    *error = "cannot make the third mission's level";
    return false;
  }
  ByteWriter fileId;
  fileId.I32(kDemoMission3FileId);
  if (!archive->AddMember("FILE_ID", fileId.Take())) {
    *error = "cannot add the third mission's file id";
    return false;
  }
  InterfaceArt art(archive, DemoInterfacePalette());
  AddBriefingPicture(&art, "BRIEF1.BMP", "REACTOR HEART", {150, 60, 200}, 121);
  AddBriefingPicture(&art, "BRIEF2.BMP", "THE CORE", {250, 90, 30}, 131);
  AddBriefingPicture(&art, "FAIL3.BMP", "MISSION FAILED", {110, 50, 70}, 141);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  if (!AddBriefingText(archive, "BRIEF1.TXT", kDemoMission3BriefingTexts[0]) ||
      !AddBriefingText(archive, "BRIEF2.TXT", kDemoMission3BriefingTexts[1]) ||
      !AddBriefingText(archive, "FAIL3.TXT", kDemoMission3FailureText)) {
    *error = "cannot add the third mission's briefing texts";
    return false;
  }
  return true;
}

bool WriteDemoMission3(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  if (!AddDemoMission3Members(&archive, error)) return false;
  const std::string path = PathJoin(folder, "M3.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
