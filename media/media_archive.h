#pragma once
// How media finds its data archives ("SOUND.CAN", ...). The application's
// locator searches the current folder, the program's folder and the media
// folders and ends the game when an archive is nowhere
// (game/data_archive_locator.h); media sits below the application, so the
// application installs the locator here at start-up instead of media calling
// it. Until one is installed (tests, tools) an archive is opened by its name
// from the current folder.

// Opens name as the engine's one open archive (engine/data_archive.h); the
// caller closes it with ArchiveClose. False when it could not be opened
// (an installed locator does not return then).
bool MediaArchiveOpen(const char* name);
// Installs the locator (null: back to the current folder).
void MediaSetArchiveOpener(void (*opener)(const char* name));
