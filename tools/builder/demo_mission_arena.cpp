#include "tools/builder/demo_mission_arena.h"

#include "tools/builder/demo_level_arena.h"
#include "tools/builder/demo_mission_archive.h"
#include "tools/builder/demo_models.h"

const char* const kDemoArenaBriefingText =
    "HALVARD REACTOR\r\n"
    "\r\n"
    "AN ARENA FOR UP TO EIGHT\r\n"
    "PILOTS. THE BEST GUNS WAIT\r\n"
    "IN THE ARMOURIES AND ON THE\r\n"
    "BALCONY; THE PAD UNDER THE\r\n"
    "CORE MENDS YOUR HULL.\r\n";

bool AddDemoArenaMembers(ArchiveWriter* archive, std::string* error) {
  DemoMissionParts parts{"the arena's", MakeDemoModels(), kDemoArenaMember, DemoArenaLevelMember(), kDemoArenaFileId, {}};
  parts.pages = {{"BRIEF1.BMP", "HALVARD REACTOR", {200, 90, 60}, 121, "BRIEF1.TXT", kDemoArenaBriefingText}};
  return AddDemoMissionParts(archive, std::move(parts), error);
}

bool WriteDemoArenaMission(const std::string& folder, std::string* error) {
  return WriteDemoMissionArchive(folder, "M4.CAN", AddDemoArenaMembers, error);
}
