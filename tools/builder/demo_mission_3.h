#pragma once
// The third mission's archive "M3.CAN": the models ("OBJECTS": the demo's
// models, the boss and the enemies only this mission has), the level's
// world ("M3.CCW", tools/builder/demo_level_3.h), its file id ("FILE_ID"
// 3), two briefing pages and the failure page its time limit opens
// ("FAIL3").
#include <string>
#include <vector>

#include "tools/builder/archive_writer.h"
#include "tools/builder/model_writer.h"

inline constexpr int kDemoMission3FileId = 3;

// The texts as the game shows them (before the "^").
extern const char* const kDemoMission3BriefingTexts[2];
extern const char* const kDemoMission3FailureText;

// The models of "OBJECTS".
std::vector<BuilderModel> MakeDemoMission3Models();
// Adds the members; false with a reason in *error when one cannot be made.
bool AddDemoMission3Members(ArchiveWriter* archive, std::string* error);
// Writes "M3.CAN" into folder; false with a reason in *error.
bool WriteDemoMission3(const std::string& folder, std::string* error);
