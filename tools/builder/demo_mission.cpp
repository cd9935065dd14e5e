#include "tools/builder/demo_mission.h"

#include "platform/paths.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/model_writer.h"

bool AddDemoMission1Members(ArchiveWriter* archive) {
  if (!AddObjectsMember(archive, MakeDemoModels())) return false;
  std::vector<uint8_t> world = DemoLevelMember();
  if (world.empty() || !archive->AddMember(kDemoLevelMember, std::move(world))) return false;
  ByteWriter fileId;
  fileId.I32(kDemoMission1FileId);
  std::string error;
  return archive->AddMember("FILE_ID", fileId.Take()) && AddDemoBriefingPages(archive, &error);
}

bool WriteDemoMission1(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  if (!AddDemoMission1Members(&archive)) {
    *error = "cannot build the first mission";
    return false;
  }
  const std::string path = PathJoin(folder, "M1.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
