#pragma once
// Small damaged files of the kinds that once crashed a reader or made it ask
// for gigabytes. Tests use them to show that the readers refuse them with a
// clear reason, and the fuzzers start from them.
#include <cstdint>
#include <vector>

// A mission archive of about a kilobyte: an "OBJECTS" member holding no
// models and a world member "M1.CCW" (an empty world) whose vertex pool
// claims `entries` entries of 24 bytes, none of which follow.
std::vector<uint8_t> CraftedMissionWithPoolClaim(int32_t entries);
