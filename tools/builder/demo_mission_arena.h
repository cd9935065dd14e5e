#pragma once
// The network mission's archive "M4.CAN" ("Halvard Reactor" in the network
// screens' mission list): the demo's models ("OBJECTS"), the arena's world
// ("M4.CCW", tools/builder/demo_level_arena.h), its file id ("FILE_ID" 4)
// and one briefing page, which a single-play visit shows.
#include <string>

#include "tools/builder/archive_writer.h"

inline constexpr int kDemoArenaMissionNumber = 4;
inline constexpr int kDemoArenaFileId = 4;

// The page's text as the game shows it (before the "^").
extern const char* const kDemoArenaBriefingText;

// Adds the members; false with a reason in *error when one cannot be made.
bool AddDemoArenaMembers(ArchiveWriter* archive, std::string* error);
// Writes "M4.CAN" into folder; false with a reason in *error.
bool WriteDemoArenaMission(const std::string& folder, std::string* error);
