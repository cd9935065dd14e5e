#pragma once
// The fuzz harnesses' seeds (fuzz/): a few small, valid files of each kind of
// data the program reads from outside, and the crafted files of
// tools/builder/crafted_files.h, so that fuzzing starts from inputs that
// reach deep into each reader.
#include <string>

// Writes folder/<harness>/<seed> for every harness; false with a reason in
// *error when a seed can't be made or written.
bool WriteFuzzSeeds(const std::string& folder, std::string* error);
