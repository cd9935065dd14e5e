#pragma once
// The second mission's archive "M2.CAN": the models ("OBJECTS": the demo's
// models and the enemies only this mission has), the level's world
// ("M2.CCW", tools/builder/demo_level_2.h), its file id ("FILE_ID" 2), two
// briefing pages and the failure page its time limit opens ("FAIL2").
#include <string>
#include <vector>

#include "tools/builder/archive_writer.h"
#include "tools/builder/model_writer.h"

inline constexpr int kDemoMission2FileId = 2;

// The texts as the game shows them (before the "^").
extern const char* const kDemoMission2BriefingTexts[2];
extern const char* const kDemoMission2FailureText;

// The models of "OBJECTS".
std::vector<BuilderModel> MakeDemoMission2Models();
// Adds the members; false with a reason in *error when one cannot be made.
bool AddDemoMission2Members(ArchiveWriter* archive, std::string* error);
// Writes "M2.CAN" into folder; false with a reason in *error.
bool WriteDemoMission2(const std::string& folder, std::string* error);
