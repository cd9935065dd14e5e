#pragma once
// Finding and opening a data archive (".CAN") by its bare file name. Every
// reader of archive members calls OpenDataArchive first, reads through the
// engine's archive reader and closes with ArchiveClose.
#include <string>

// Opens the archive called name ("M1.CAN", "TEXTURES.CAN", ...) and returns
// with it open. Tried in order, the first that opens as a valid archive wins:
//   1. name in the current folder;
//   2. name in the program folder (PlatformProgramFolder);
//   3. name in each media folder (the stand-ins for CD-ROM drives), in their
//      fixed order (MediaFolders).
// A file that is there but is no valid archive counts as not found there.
// When every try fails the game can't go on: the document is closed, full
// screen is left, the player is asked to insert the CD, the interface manager
// is deleted and the process ends with exit code 1. It does not return then.
void OpenDataArchive(const char* name);
// Whether OpenDataArchive would find the archive; nothing stays open and
// nothing ends. For names that come from a file (a saved game's mission).
bool DataArchiveExists(const char* name);

// The path by which OpenDataArchive would open the archive called name,
// for readers that open archives by path themselves (the Direct3D back
// end's overlays); name as it is when no place has it. The archive open
// before the call, if any, is open again afterwards.
std::string FindDataArchive(const char* name);

// The path of a plain data file beside the archives (the cockpit picture
// "!cockpit.bmp"), looked for where OpenDataArchive looks: the current
// folder, the program folder, then each media folder; the first that holds
// a file of that name (any case) wins, as the system's own path. name as it
// is when no place has it.
std::string FindDataFile(const char* name);

// The text of the failure path's message box.
inline constexpr const char* kInsertCdMessage = "Insert Korvane CD in your CD drive and restart the game.";

// The steps of the failure path that belong to the application, the
// document and the interface manager, in the order they run around the
// message box. The application installs them once those objects exist; a
// step that is not installed is skipped.
struct DataArchiveFailureSteps {
  void (*closeDocument)();    // a document that exists: OnCloseDocument, then deleted
  void (*leaveFullScreen)();  // the interface manager leaves full screen (false), so the box can be seen
  void (*deleteInterface)();  // the interface manager is deleted
};
void DataArchiveSetFailureSteps(const DataArchiveFailureSteps& steps);
