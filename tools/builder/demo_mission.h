#pragma once
// The first mission's archive "M1.CAN": the models ("OBJECTS"), the level's
// world ("M1.CCW", tools/builder/demo_level.h), its file id ("FILE_ID") and
// its briefing and failure pages (tools/builder/demo_briefing.h).
#include <string>

#include "tools/builder/archive_writer.h"

inline constexpr int kDemoMission1FileId = 1;

// Adds the members; false when one cannot be made.
bool AddDemoMission1Members(ArchiveWriter* archive);
// Writes "M1.CAN" into folder; false with a reason in *error.
bool WriteDemoMission1(const std::string& folder, std::string* error);
