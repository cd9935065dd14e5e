#pragma once
// Process services: what the program asks of the operating system as a
// process: folders made on disk, the user's data folder, files replaced
// whole, the crash signals, and being asked to stop. One implementation
// (platform/posix/) serves both back ends, since a headless run is the same
// kind of process as a windowed one.
#include <cstddef>
#include <cstdio>
#include <string>

// Makes the folder at path (a Linux path) and any missing folders above it.
// New folders are readable by everyone, or by the user alone when userOnly
// is set (settings). True when path is a folder afterwards.
bool FolderCreate(const std::string& path, bool userOnly = false);

// The folder the program writes its saved games, screenshots and logs into,
// never the (possibly read-only) install: $XDG_DATA_HOME/korvane/ when
// XDG_DATA_HOME is an absolute path, else ~/.local/share/korvane/, with a
// trailing '/'. It is made on disk when missing; "" when it can't be made
// (or there is no home folder), and writes into it then fail.
std::string UserDataFolder();

// Replaces the file at path with size bytes of data: they go to a temporary
// file in the same folder, which is flushed to disk and renamed over it, so
// a crash leaves the old file or the new one. The file is readable by the
// user alone when userOnly is set. False (and no file changed) on failure.
bool FileWriteAtomically(const std::string& path, const void* data, size_t size, bool userOnly = false);

// The same, for a file written bit by bit: FileReplaceOpen opens a new
// temporary file beside path (a Linux path) for writing; FileReplaceCommit
// flushes it to disk, closes it and renames it over path; FileReplaceAbandon
// closes and removes it, leaving path as it was. Both end the replacement
// (file becomes null). Open and commit return false on failure, and a failed
// commit has abandoned the replacement.
struct FileReplacement {
  std::FILE* file = nullptr;
  std::string temporary;
  std::string target;
};
bool FileReplaceOpen(const std::string& path, FileReplacement* out, bool userOnly = false);
bool FileReplaceCommit(FileReplacement* replacement);
void FileReplaceAbandon(FileReplacement* replacement);

// Installs handler for the crash signals (abort, illegal instruction,
// access violation) once; later calls change nothing. The actions that were
// there before are kept for CrashSignalPassOn. The handler runs inside the
// signal: it may only do async-signal-safe work.
void CrashSignalsWatch(void (*handler)(int signalNumber));
// Called at the end of that handler: the signal takes its course through
// the action that was there before (the default one if none was kept), as
// soon as the handler returns.
void CrashSignalPassOn(int signalNumber);

// From now on the first interrupt (Ctrl+C) or terminate signal only leaves a
// stop request, which input delivers as a quit event so that the program
// ends as after a normal quit; a second one ends the process at once.
void StopSignalsWatch();
// True once for each stop request; safe to call from any thread.
bool StopRequestTake();
