#pragma once
// The "ERROR.LOG" line of a fatal exit, which CGameApp::FatalError appends
// to "ERROR.LOG" in the user's data folder (UserDataFolder,
// platform/process_services.h):
//   "[MM/DD hh:mm:ss] <source>(<line>): Abnormal exit\n" in local time.
#include <ctime>
#include <string>

std::string ErrorLogLine(const std::tm& localTime, const char* sourceFile, int line);
// Appends that line to folder + "ERROR.LOG" (folder ends with '/'); false
// when folder is empty or the file can't be opened (the line is then lost,
// silently for the player).
bool AppendErrorLog(const std::string& folder, const std::tm& localTime, const char* sourceFile, int line);
