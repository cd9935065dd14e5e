#pragma once
// The first fields of a saved game, which the save and load screens list
// without reading the rest: the tag "KRVX", the version 72211, then the
// mission archive, the player's description and a third string, each in
// the archive's string form (a length of 1, 3 or 7 bytes, then the
// characters).
#include "platform/framework/cstring.h"

// The slot's file: "SAVE/game<slot>.sav" in the user's data folder.
CString SaveGamePath(int slot);

// Reads the three strings of the file at path; false, with the outputs
// untouched, when it is missing, foreign, of another version or cut short.
// A string longer than the list can show, or longer than what is left of
// the file, is refused before anything is allocated for it.
bool ReadSavedGameHeader(const char* path, CString* mission, CString* description, CString* third);
