#include "tools/builder/demo_mission_archive.h"

#include "platform/paths.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_interface.h"

bool AddDemoMissionParts(ArchiveWriter* archive, DemoMissionParts parts, std::string* error) {
  const std::string owner = parts.owner;
  if (parts.models.empty() || !AddObjectsMember(archive, parts.models)) {
    *error = "cannot make " + owner + " models";
    return false;
  }
  if (parts.world.empty() || !archive->AddMember(parts.worldMember, std::move(parts.world))) {
    *error = "cannot make " + owner + " level";
    return false;
  }
  ByteWriter fileId;
  fileId.I32(parts.fileId);
  if (!archive->AddMember("FILE_ID", fileId.Take())) {
    *error = "cannot add " + owner + " file id";
    return false;
  }
  InterfaceArt art(archive, DemoInterfacePalette());
  for (const DemoMissionPage& page : parts.pages)
    AddBriefingPicture(&art, page.picture, page.caption, page.land, page.seed);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  for (const DemoMissionPage& page : parts.pages) {
    if (!AddBriefingText(archive, page.textMember, page.text)) {
      *error = "cannot add " + owner + " briefing texts";
      return false;
    }
  }
  return true;
}

bool WriteDemoMissionArchive(const std::string& folder, const char* name,
                             bool (*add)(ArchiveWriter*, std::string*), std::string* error) {
  ArchiveWriter archive;
  if (!add(&archive, error)) return false;
  const std::string path = PathJoin(folder, name);
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool AddRenamedModel(const std::vector<BuilderModel>& enemies, const char* from, const char* to,
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
