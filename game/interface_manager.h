#pragma once
// The menu and display manager: owner of the program's one visible window,
// the display, the input thread, the sound manager and the menus. Its display
// (surfaces, palette, the 2-D bitmap, screenshots) is CInterfaceDisplay
// (media/interface_display.h); what the display does that depends on the
// program or the document is here: full screen is entered through the build
// variant (game/build_variant.h), korvane3d's with its Direct3D device,
// korvanesw's with its own modes, under the display-switch guard. The menu
// operations are filled in by their own work (so far they keep only the
// state the shell depends on).
//
// Input (game/interface_input.cpp): the DirectInput keyboard and mouse, and
// the input thread, which polls the keyboard and the joystick every 10 ms so
// that a short press is latched even while a frame takes long. The key
// tables are shared with that thread: a poll fills them under a lock, each
// entry is atomic for the queries, a latch is consumed with one exchange,
// and the thread is stopped and joined before the devices it reads are
// released.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "media/interface_display.h"
#include "platform/direct_input.h"
#include "platform/framework/cstring.h"

class CInterfaceWnd;

class CInterface : public CInterfaceDisplay {
 public:
  // Sets g_pInterface, creates the display objects (InitDirect3D), the
  // interface window (hidden, full screen size), the keyboard and mouse, and
  // starts the input thread.
  CInterface();
  // Releases the 3-D device, stops the input thread, leaves full screen,
  // releases the surfaces and the DirectDraw objects, clears g_pInterface,
  // releases the keyboard and mouse, destroys the window.
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
  // The level load, once its textures are in memory: the display device's
  // copies of the textures are made again (korvane3d's texture slots).
  void ReloadTextures();
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

  // Videos: none plays yet. A video is decoded into the video surface
  // (GetVideoSurface); without one it is skipped, never played into null.
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
  // ---- Input (game/interface_input.cpp) ----
  // Key codes are those of game/key_codes.h; any other code (from a settings
  // file, say) is never down.
  // Reads the keyboard into the key table and latches every key seen down,
  // at most once every 10 ms (either thread).
  void PollKeyboard();
  // Whether the key or joystick input is down now (both devices are polled
  // first, within their intervals).
  bool IsKeyDown(int code);
  // Whether the key is down now or was seen down since it was last asked
  // for; consumes the latch. Joystick codes have no latch: as IsKeyDown.
  bool IsKeyPressed(int code);
  // Empties both key tables and reads the keyboard at once, so that keys
  // still held are down (and latched) again.
  void ClearKeys();
  // Moves the menu cursor by the mouse's motion, within 0..639 x 0..479.
  // Main thread.
  void PollMouse();
  int GetCursorX() const { return cursorX_; }
  int GetCursorY() const { return cursorY_; }
  // The mouse device, which the ship controls read too. Main thread.
  IDirectInputDevice* GetMouseDevice() const { return mouse_; }
  bool IsCockpitShown() const { return cockpitShown_ != 0; }
  void SetCockpitShown(bool shown) { cockpitShown_ = shown ? 1 : 0; }

  void SetStartupVideo(bool on) { startupVideo_ = on ? 1 : 0; }
  bool IsStartupVideo() const { return startupVideo_ != 0; }
  void SetMissionFailedShown(bool on) { missionFailedShown_ = on ? 1 : 0; }
  bool IsMissionFailedShown() const { return missionFailedShown_ != 0; }

 private:
  // The keyboard and mouse devices and the input thread; failures are fatal
  // (source "dd", the lines of each step).
  void CreateInputDevices();
  // Sets g_InputThreadStop and waits for the input thread to end.
  void StopInputThread();
  // Stops the input thread (when still running), then releases the devices.
  void ReleaseInputDevices();
  // One keyboard read into the tables; the gate and the lock are the
  // caller's.
  void ReadKeyboard();

  CInterfaceWnd* window_ = nullptr;
  int screen_ = 0;
  uint8_t cockpitShown_ = 1;
  uint8_t startupVideo_ = 0;
  uint8_t missionFailedShown_ = 0;

  IDirectInput* directInput_ = nullptr;
  IDirectInputDevice* mouse_ = nullptr;
  IDirectInputDevice* keyboard_ = nullptr;
  // By scan code: bit 7 down at the last read; bit 0 seen down since last
  // asked for.
  // Held by a poll from its gate to its last store, and by ClearKeys.
  std::mutex keyboardLock_;
  std::array<std::atomic<uint8_t>, 256> keyState_{};
  std::array<std::atomic<uint8_t>, 256> latchedKeys_{};
  DWORD lastKeyboardPoll_ = 0;
  int cursorX_ = 0;
  int cursorY_ = 0;
  std::thread inputThread_;
};

// The input thread's stop flag: set by the interface manager's destructor,
// which then waits for the thread to end.
extern std::atomic<bool> g_InputThreadStop;
// The input thread: every 10 ms, PollKeyboard and PollJoystick, until
// g_InputThreadStop is set or there is no interface manager.
void CInputPollThread();

extern CInterface* g_pInterface;
