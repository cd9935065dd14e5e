#include "tools/builder/demo_mission_arena.h"

#include "platform/paths.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_level_arena.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/model_writer.h"

const char* const kDemoArenaBriefingText =
    "HALVARD REACTOR\r\n"
    "\r\n"
    "AN ARENA FOR UP TO EIGHT\r\n"
    "PILOTS. THE BEST GUNS WAIT\r\n"
    "IN THE ARMOURIES AND ON THE\r\n"
    "BALCONY; THE PAD UNDER THE\r\n"
    "CORE MENDS YOUR HULL.\r\n";

bool AddDemoArenaMembers(ArchiveWriter* archive, std::string* error) {
  if (!AddObjectsMember(archive, MakeDemoModels())) {
    *error = "cannot make the arena's models";
    return false;
  }
  std::vector<uint8_t> world = DemoArenaLevelMember();
  if (world.empty() || !archive->AddMember(kDemoArenaMember, std::move(world))) {
    *error = "cannot make the arena's level";
    return false;
  }
  ByteWriter fileId;
  fileId.I32(kDemoArenaFileId);
  if (!archive->AddMember("FILE_ID", fileId.Take())) {
    *error = "cannot add the arena's file id";
    return false;
  }
  InterfaceArt art(archive, DemoInterfacePalette());
  AddBriefingPicture(&art, "BRIEF1.BMP", "HALVARD REACTOR", {200, 90, 60}, 121);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  if (!AddBriefingText(archive, "BRIEF1.TXT", kDemoArenaBriefingText)) {
    *error = "cannot add the arena's briefing text";
    return false;
  }
  return true;
}

bool WriteDemoArenaMission(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  if (!AddDemoArenaMembers(&archive, error)) return false;
  const std::string path = PathJoin(folder, "M4.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
