#include "fuzz/support/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/data_archive.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/model_writer.h"

const std::string& FuzzFolder() {
  static const TempFolder folder;
  return folder.Path();
}

std::string FuzzWriteFile(const char* name, const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzFolder() + "/" + name;
  if (!WriteBytesToFile(path, std::vector<std::uint8_t>(data, data + size))) FuzzFault("cannot write an input file");
  return path;
}

std::string FuzzWriteMemberArchive(const char* file, const char* member, const std::uint8_t* data, std::size_t size) {
  ArchiveWriter archive;
  if (!archive.AddMember(member, std::vector<std::uint8_t>(data, data + size))) return {};
  const std::string path = FuzzFolder() + "/" + file;
  if (!archive.WriteFile(path)) FuzzFault("cannot write an input archive");
  return path;
}

const std::string& FuzzDemoTexturesPath() {
  static const std::string path = [] {
    std::string error;
    if (!WriteDemoTextures(FuzzFolder(), &error)) FuzzFault(error.c_str());
    return FuzzFolder() + "/TEXTURES.CAN";
  }();
  return path;
}

void FuzzLoadDemoModels() {
  static const std::string path = [] {
    ArchiveWriter archive;
    const std::string written = FuzzFolder() + "/demo-objects.can";
    if (!AddObjectsMember(&archive, MakeDemoModels()) || !archive.WriteFile(written)) {
      FuzzFault("cannot write the demo models");
    }
    return written;
  }();
  if (ModelListHead()) return;
  const int loaded = ArchiveOpen(path.c_str()) && ArchiveFindMember("OBJECTS") && ModelsReload();
  ArchiveClose();
  ObjTableFree();
  if (!loaded) FuzzFault("cannot load the demo models");
}

void FuzzEngineReset() {
  while (ArchivePopState()) {
  }
  ArchiveClose();
  ObjTableFree();
  TextureArchiveClose();
  EngineFreeAll();
}

void FuzzNote(const std::string& what) {
  static const bool verbose = std::getenv("KORVANE_FUZZ_VERBOSE") != nullptr;
  if (verbose) std::fprintf(stderr, "fuzz harness: %s\n", what.c_str());
}

void FuzzFault(const char* what) {
  std::fprintf(stderr, "fuzz harness: %s\n", what);
  std::abort();
}
