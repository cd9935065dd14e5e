#pragma once
// What the pictures and fonts need of the application above them: the
// archive of the current mission (loads that name no archive read from it),
// a look at the message queue during loads, and the fatal exit with its
// error-log line. The application installs them at start-up
// (CGameApp::InitInstance); until then (tools, tests) there is no mission
// archive, the queue is not looked at, and a fatal error ends the process
// with a line on stderr.

struct MediaServices {
  const char* (*currentMissionArchive)() = nullptr;  // "M1.CAN"
  void (*pollMessageQueue)() = nullptr;
  // Never returns (CGameApp::FatalError).
  void (*fatalError)(const char* sourceFile, int line) = nullptr;
  // korvanesw: while no palette object exists, a loaded picture's colours
  // become the screen's palette at once (its own display has no other).
  bool picturesSetScreenPalette = false;
};
void MediaSetServices(const MediaServices& services);
const MediaServices& MediaGetServices();

// The archive a load reads when it names none: the current mission's ("" when
// none is installed).
const char* MediaMissionArchive();
void MediaPollMessageQueue();
// Ends the program through the installed fatal exit; source is the file name
// the error log shows ("picture").
[[noreturn]] void MediaFatalError(const char* sourceFile, int line);
