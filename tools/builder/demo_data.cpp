#include "tools/builder/demo_data.h"

#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_textures.h"

namespace {

std::string InFolder(const std::string& folder, const char* name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// The first mission's archive. It grows as the builder learns each format
// the level load reads; for now it carries the mission's file id.
bool WriteMission1(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  ByteWriter fileId;
  fileId.I32(1);
  archive.AddMember("FILE_ID", fileId.Take());
  const std::string path = InFolder(folder, "M1.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

bool WriteDemoData(const std::string& folder, std::string* error) {
  return WriteMission1(folder, error) && WriteDemoTextures(folder, error);
}
