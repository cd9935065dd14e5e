#pragma once
// What every demo mission archive after the first holds, in this order: the
// models ("OBJECTS"), the level's world, its file id ("FILE_ID"), the page
// pictures, then the page texts; and the enemy models a mission shows under
// another type's name.
#include <string>
#include <vector>

#include "tools/builder/archive_writer.h"
#include "tools/builder/model_writer.h"
#include "tools/builder/procedural.h"

// One briefing or failure page: its picture ("BRIEF1.BMP") with the caption
// over a planet of that land colour (seed varies it), and its text member
// ("BRIEF1.TXT").
struct DemoMissionPage {
  const char* picture;
  const char* caption;
  Rgb land;
  uint32_t seed;
  const char* textMember;
  const char* text;
};

struct DemoMissionParts {
  const char* owner;  // "the second mission's", for the error messages
  std::vector<BuilderModel> models;
  const char* worldMember;
  std::vector<uint8_t> world;
  int fileId;
  std::vector<DemoMissionPage> pages;
};

// Adds the members; false with a reason in *error when one cannot be made.
bool AddDemoMissionParts(ArchiveWriter* archive, DemoMissionParts parts, std::string* error);
// Writes the archive that add fills as folder/name; false with a reason.
bool WriteDemoMissionArchive(const std::string& folder, const char* name,
                             bool (*add)(ArchiveWriter*, std::string*), std::string* error);
// Adds a copy of the enemy model from under the name to; false when enemies
// has no model from.
bool AddRenamedModel(const std::vector<BuilderModel>& enemies, const char* from, const char* to,
                     std::vector<BuilderModel>* models);
