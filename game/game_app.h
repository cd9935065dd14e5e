#pragma once
// The application object: start-up, one game frame per idle call, the three
// ways a game begins, and the end of the process.
#include <cstdint>

#include "platform/framework/cstring.h"
#include "platform/framework/win_app.h"

class CGameApp : public CWinApp {
 public:
  // Clears the flags, notes whether there is a high-resolution counter and
  // installs the crash-signal handler.
  CGameApp();
  ~CGameApp() override;

  // The start-up sequence; false only when the interface manager can't be
  // made.
  bool InitInstance() override;
  // One frame; TRUE (more idle time) except when exiting or when a frame is
  // already running further up the stack, which give the library's result.
  BOOL OnIdle(LONG count) override;
  // Closes the document, deletes the interface manager, releases the
  // engine's pools; the exit code is the quit message's.
  int ExitInstance() override;
  // The new-file (57600) and open-file (57601) commands.
  bool OnCmdMsg(UINT id) override;

  // Asks for a new game, started at the next idle call (or paint); with
  // viaBriefing the mission's briefing opens first and the ship's inventory
  // carries over.
  void RequestNewGame(bool viaBriefing);
  // Replaces the document with a new one that starts the requested game.
  void StartRequestedGame();
  // Abandons the game: a new document that loads nothing.
  void ReturnToGame();
  // Replaces the document with one read from the saved game at path.
  void OpenSavedGame(const CString& path);
  // The same two, at the next idle call: the menus ask for them while the
  // document's views may be on the call stack.
  void RequestReturnToGame() { returnRequested_ = 1; }
  void RequestOpenSavedGame(const CString& path) {
    savedGameRequested_ = path;
    openSavedRequested_ = 1;
  }
  bool IsReturnToGameRequested() const { return returnRequested_ != 0; }
  bool IsOpenSavedGameRequested() const { return openSavedRequested_ != 0; }

  // The one way out on an unrecoverable condition: appends the dated line to
  // "ERROR.LOG" in the user's data folder (only with a source file and a
  // line >= 0), shuts the game down and ends the process with exit code 1.
  [[noreturn]] static void FatalError(const char* sourceFile, int line);

  bool IsExiting() const { return exiting_ != 0; }
  bool IsNetworkLaunch() const { return networkLaunch_ != 0; }
  void SetNetworkLaunch(bool on) { networkLaunch_ = on ? 1 : 0; }
  bool IsStartInProgress() const { return startInProgress_ != 0; }
  bool IsStartupDelayOver() const { return startupDelayOver_ != 0; }
  void SetStartupDelayOver() { startupDelayOver_ = 1; }
  bool IsNewGameRequested() const { return newGameRequested_ != 0; }
  bool IsStartViaBriefing() const { return startViaBriefing_ != 0; }

 protected:
  // Resets and destroys the view, closes the document (its frame goes with
  // it) and deletes it.
  void DiscardDocument();
  // Closes the document (its frame and view go with it) and deletes it.
  static void CloseDocumentForGood();
  // Deletes the interface manager (it leaves full screen as it goes).
  static void DeleteInterface();

  uint8_t exiting_ = 0;
  uint8_t networkLaunch_ = 0;
  uint8_t startInProgress_ = 0;
  uint8_t startupDelayOver_ = 0;
  uint8_t newGameRequested_ = 0;
  uint8_t startViaBriefing_ = 0;
  uint8_t returnRequested_ = 0;
  uint8_t openSavedRequested_ = 0;
  CString savedGameRequested_;
};

// The running application (null before one exists).
CGameApp* GameApp();

// The program's one application object (defined with the program's start,
// so that only the programs contain it).
extern CGameApp g_App;

extern CString g_CurrentMissionArchive;  // "M1.CAN": the mission the next level load opens
extern CString g_NextMissionArchive;     // set when a mission is accomplished
extern CString g_TypedWordBuffer;        // the last typed characters, at most 16
extern CString g_SaveDescription;        // the saved game's description
extern CString g_SaveSecondString;       // the saved game's second string (always empty)
extern int g_CdTrack;                    // the CD-audio track played next (2)
extern int g_IdleReady;                  // 0 while a frame runs: OnIdle's re-entry guard
extern bool g_HasPerfCounter;
extern int64_t g_PerfFrequency;
