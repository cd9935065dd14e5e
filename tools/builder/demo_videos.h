#pragma once
// The demo set's videos, drawn procedurally at 320x240 and 15 frames a
// second with 8-bit sound: the logo shown at start-up ("logo.smk"), the intro
// ("intro.smk") and the ending ("ENDING.SMK"). Their pixels use colour 0
// (black) and 10-245 only: in an 8-bit display the others are the system's.
#include <string>

#include "tools/builder/smacker_writer.h"

SmackerMovie DemoLogoMovie();
SmackerMovie DemoIntroMovie();
SmackerMovie DemoEndingMovie();

// Writes the three into folder; false with a reason in *error.
bool WriteDemoVideos(const std::string& folder, std::string* error);
