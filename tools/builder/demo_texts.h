#pragma once
// The demo message texts "LOGS.TXT" of "INTERFC.CAN": the lines the level
// script's "log" command shows, one "KEY: text" per line (keys of 3 to 8
// characters, CR LF line ends as the game's own files have them).
#include <string>

#include "tools/builder/archive_writer.h"

std::string DemoLogsText();
// Adds "LOGS.TXT"; false when the archive refuses it.
bool AddDemoTexts(ArchiveWriter* archive);
