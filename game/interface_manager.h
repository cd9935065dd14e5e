#pragma once
// The menu and display manager: owner of the program's one visible window,
// the display, the input thread, the sound manager and the menus. This is the
// part the application shell calls; the display, input and menu operations
// are filled in by their own work (so far they keep only the state the shell
// depends on).
#include <cstdint>

#include "platform/framework/cstring.h"

class CInterfaceWnd;

class CInterface {
 public:
  // Sets g_pInterface and creates the interface window (hidden, full screen
  // size).
  CInterface();
  // Leaves full screen, destroys the window, clears g_pInterface.
  ~CInterface();
  CInterface(const CInterface&) = delete;
  CInterface& operator=(const CInterface&) = delete;

  CInterfaceWnd* GetWindow() const { return window_; }

  // Shows the interface window and marks the display as full screen; true
  // when it is (the display device itself is not set up yet).
  bool EnterFullScreen(int mode);
  // Unless keepMode, hides the window; the display is no longer full screen.
  void LeaveFullScreen(bool keepMode);
  bool IsFullScreen() const { return fullScreen_ != 0; }
  void CreatePalette() {}
  void ReleasePalette() {}

  // Videos: none plays yet.
  void PlayVideo(const char* /*fileName*/, int /*screenAfter*/) {}
  void OnVideoFrame() {}

  void LoadScreens() {}
  // Menus: opening marks a menu active (screen 0, or the briefing's 8);
  // nothing happens while one is already active.
  void OpenMenu(bool initial);
  void OpenBriefing();
  bool CloseMenu();
  bool IsMenuActive() const { return menuActive_ != 0; }
  int GetScreen() const { return screen_; }
  void ClearDisplay(int /*ignored*/) {}
  // Input tables: nothing to clear yet.
  void ClearKeys() {}
  // Whether a key (scan code) is down now.
  bool IsKeyDown(int scanCode) const;
  bool IsCockpitShown() const { return cockpitShown_ != 0; }
  void SetCockpitShown(bool shown) { cockpitShown_ = shown ? 1 : 0; }

  void SetStartupVideo(bool on) { startupVideo_ = on ? 1 : 0; }
  bool IsStartupVideo() const { return startupVideo_ != 0; }
  void SetShowingPicture(bool on) { showingPicture_ = on ? 1 : 0; }
  void SetMissionFailedShown(bool on) { missionFailedShown_ = on ? 1 : 0; }
  bool IsMissionFailedShown() const { return missionFailedShown_ != 0; }

 private:
  CInterfaceWnd* window_ = nullptr;
  uint8_t fullScreen_ = 0;
  uint8_t menuActive_ = 0;
  int screen_ = 0;
  uint8_t cockpitShown_ = 1;
  uint8_t startupVideo_ = 0;
  uint8_t showingPicture_ = 0;
  uint8_t missionFailedShown_ = 0;
};

extern CInterface* g_pInterface;
