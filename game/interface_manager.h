#pragma once
// The menu and display manager: owner of the program's one visible window,
// the display, the input thread, the sound manager and the menus. Its display
// (surfaces, palette, the 2-D bitmap, screenshots) is CInterfaceDisplay
// (media/interface_display.h); what the display does that depends on the
// program or the document is here: full screen is entered through the build
// variant (game/build_variant.h), korvane3d's with its Direct3D device,
// korvanesw's with its own modes, under the display-switch guard. The input
// and menu operations are filled in by their own work (so far they keep only
// the state the shell depends on).
#include <cstdint>

#include "media/interface_display.h"
#include "platform/framework/cstring.h"

class CInterfaceWnd;

class CInterface : public CInterfaceDisplay {
 public:
  // Sets g_pInterface, creates the display objects (InitDirect3D) and the
  // interface window (hidden, full screen size).
  CInterface();
  // Releases the 3-D device, leaves full screen, releases the surfaces and
  // the DirectDraw objects, destroys the window, clears g_pInterface.
  ~CInterface();
  CInterface(const CInterface&) = delete;
  CInterface& operator=(const CInterface&) = delete;

  CInterfaceWnd* GetWindow() const { return window_; }

  // Creates the program's DirectDraw (and in korvane3d Direct3D) objects;
  // returns the hardware-device flag. A failure is fatal (source "dd", line
  // 798): the program can't run on this machine.
  int InitDirect3D();
  // Enters full screen under the display-switch guard: shows the window and
  // sets up the display through the build variant. True when in full screen
  // (at once when it already was). On failure nothing made by this try is
  // kept, so a retry starts clean.
  bool EnterFullScreen(int mode);
  // Clears both surfaces; unless keepMode, hides the window and gives the
  // screen back (normal level, desktop mode, the GDI surface in front), under
  // the guard; then releases the surfaces. No longer full screen.
  void LeaveFullScreen(bool keepMode);
  // Releases the 3-D device's objects and the display palette, z-buffer and
  // clipper the display set-up made.
  void ReleaseDirect3D();
  // The brightness from the menu slider, 0..1 (0.5 is neutral): stored as
  // level x 64 + 32 and in the profile ("Settings"/"BrightnessCorrection"),
  // applied to the palette, and the view's palettes are rebuilt.
  void SetBrightness(float level);

  // korvane3d's display set-up (apps/korvane3d/, through its build variant):
  // the Direct3D back end's objects, and the full-screen steps after the
  // window is shown.
  int InitDirect3DObjects();
  bool EnterFullScreen3D();
  // korvanesw's (apps/korvanesw/): its DirectDraw object, and full screen at
  // the resolution index (negative: the current one).
  int InitDirectDrawSw();
  bool EnterFullScreenSw(int mode);
  // After a failed full-screen set-up: releases what the try made (device,
  // surfaces, display palette) and gives the screen back.
  void AbandonFullScreen();

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
  void ClearDisplay(int /*ignored*/) { ClearSurfaces(); }
  // Input tables: nothing to clear yet.
  void ClearKeys() {}
  // Whether a key (scan code) is down now.
  bool IsKeyDown(int scanCode) const;
  bool IsCockpitShown() const { return cockpitShown_ != 0; }
  void SetCockpitShown(bool shown) { cockpitShown_ = shown ? 1 : 0; }

  void SetStartupVideo(bool on) { startupVideo_ = on ? 1 : 0; }
  bool IsStartupVideo() const { return startupVideo_ != 0; }
  void SetMissionFailedShown(bool on) { missionFailedShown_ = on ? 1 : 0; }
  bool IsMissionFailedShown() const { return missionFailedShown_ != 0; }

 private:
  CInterfaceWnd* window_ = nullptr;
  int screen_ = 0;
  uint8_t cockpitShown_ = 1;
  uint8_t startupVideo_ = 0;
  uint8_t missionFailedShown_ = 0;
};

extern CInterface* g_pInterface;
