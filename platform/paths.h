#pragma once
// Files and paths. The game names files the Windows way ("SAVE\game1.sav",
// "\vscript\sattelit.ini"); on Linux every component is matched without regard
// to case, so data built on any system is found.
//
// - A relative path starts at the current folder.
// - A path starting with one backslash starts at the drive root, which is the
//   folder named by KORVANE_DRIVE_ROOT, or the current folder when unset.
// - A path starting with '/' is a Linux absolute path.
// - A drive letter ("C:") is dropped; the media folders stand in for drives.
#include <cstdio>
#include <string>
#include <vector>

enum class PathMode {
  MustExist,      // every component must exist
  ForWriting,     // folders must exist; the last component may be new
  CreateFolders,  // missing folders are created; the last component may be new
};

// The resolved Linux path in *out, true on success. On failure *out holds the
// path up to and including the first missing component.
bool PathResolve(const std::string& windowsPath, std::string* out, PathMode mode = PathMode::MustExist);

// fopen on a resolved path; write and append modes create the file (its
// folders must exist).
FILE* PathOpenFile(const std::string& windowsPath, const char* mode);
bool PathFileExists(const std::string& windowsPath);
// Creates one folder (its parent must exist); true when it exists afterwards.
bool CreateDirectory(const std::string& windowsPath);

// The running program's full path; empty when it can't be found.
std::string PlatformProgramPath();
// The folder that holds the running program, with a trailing '/'.
std::string PlatformProgramFolder();

// The folders that stand in for CD-ROM drives, in drive-letter order: the
// ':'-separated list in KORVANE_MEDIA_DIRS, empty when unset.
std::vector<std::string> MediaFolders();

// Joins a folder and a Windows-style relative name ("folder" + "\x\y").
std::string PathJoin(const std::string& folder, const std::string& windowsName);
