#pragma once
// The game document. This is the part the application shell needs: its
// lifecycle, its choice of what a new document opens, and its pause and
// ready state. The level, frame, players and saved games come with their own
// work; until then FrameTick, StartLevel, SaveInventory and CheckCheatWords do
// nothing.
#include <cstdint>

#include "platform/framework/cstring.h"
#include "platform/framework/document.h"

class CNetView;

class CNetDoc : public CDocument {
  DECLARE_DYNCREATE_CLASS(CNetDoc)
 public:
  // Becomes g_pNetDoc.
  CNetDoc();
  ~CNetDoc() override;

  // After the base: the interface window becomes active; a game being
  // started opens its briefing or starts the level; otherwise the main menu
  // opens once the start-up delay is over. The document is then ready.
  bool OnNewDocument() override;
  bool OnOpenDocument(const char* pathName) override;

  // One idle call's work while no video plays; returns 0.
  int FrameTick() { return 0; }
  // Loads and starts the level of g_CurrentMissionArchive.
  bool StartLevel() { return true; }
  void SaveInventory() {}
  void CheckCheatWords() {}

  CNetView* GetView() const { return view_; }
  void SetView(CNetView* view) { view_ = view; }
  bool IsReady() const { return ready_ != 0; }
  bool IsFrozen() const { return frozen_ != 0; }
  void ToggleFrozen() { frozen_ = frozen_ ? 0 : 1; }
  // The document's clock pause, passed on to the game clock.
  void SetClockPaused(BOOL paused);
  bool IsClockPaused() const { return clockPaused_ != 0; }
  // A display switch is in progress (the view draws nothing meanwhile);
  // DisplaySwitchGuard sets and clears it.
  bool IsPaused() const { return displaySwitching_ != 0; }
  void SetPaused(bool on) { displaySwitching_ = on ? 1 : 0; }
  bool IsGameRunning() const { return gameRunning_ != 0; }
  // The message console, which takes the keys and characters while a chat
  // line is typed (the players' work fills it: it never opens yet).
  bool IsConsoleOpen() const { return false; }
  void OnConsoleChar(UINT /*virtualKey*/) {}
  void OnConsoleKey(UINT /*character*/) {}
  // Writes the game into path (the saved games' work fills it: nothing is
  // written yet, and the result is false).
  bool SaveGame(const CString& /*path*/) { return false; }

 private:
  CNetView* view_ = nullptr;
  uint8_t frozen_ = 0;
  uint8_t clockPaused_ = 0;
  uint8_t ready_ = 0;
  uint8_t displaySwitching_ = 0;
  uint8_t gameRunning_ = 0;
};

extern CNetDoc* g_pNetDoc;
inline CNetDoc* GetNetDoc() { return g_pNetDoc; }
