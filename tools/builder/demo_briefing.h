#pragma once
// The first mission's briefing and failure pages: "BRIEF1.BMP"/"BRIEF1.TXT",
// "BRIEF2.BMP"/"BRIEF2.TXT" and "FAIL1.BMP"/"FAIL1.TXT" (280 x 240 pictures
// in the interface's colours; texts with CR LF line ends, ended by "^").
#include <string>

#include "tools/builder/archive_writer.h"
#include "tools/builder/interface_art.h"

// The texts as the game shows them (before the "^").
extern const char* const kDemoBriefingTexts[2];
extern const char* const kDemoFailureText;

bool AddDemoBriefingPages(ArchiveWriter* archive, std::string* error);

// One page picture: a starfield with a planet of that land colour and the
// caption over it (seed varies the stars and the planet).
void AddBriefingPicture(InterfaceArt* art, const char* name, const char* caption, Rgb land, uint32_t seed);
// One page text, ended by "^" and a note the game never shows.
bool AddBriefingText(ArchiveWriter* archive, const char* name, const char* text);
