#pragma once
// The demo data set: every archive the game reads and the cockpit picture
// beside them, made from procedural content, so the game runs with no
// original data.
#include <string>

// Writes the demo set into folder (which must exist); false with a reason in
// *error when a file cannot be written.
bool WriteDemoData(const std::string& folder, std::string* error);
