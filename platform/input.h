#pragma once
// Input: the events a back end delivers (keys by DirectInput scan code,
// typed characters, relative mouse motion, buttons and wheel, the joystick,
// quit) and the device state they leave behind, which the DirectInput and
// joystick stand-ins (platform/direct_input.h, platform/joystick_api.h) read.
//
// Headless (platform/headless/): the events of an input script, each due at
// its time on the platform clock. SDL2 (platform/sdl/): the window's key,
// text and mouse events and the first joystick or game controller. Either
// way, a stop request of the process (Ctrl+C, SIGTERM;
// platform/process_services.h) arrives as one quit event.
//
// Threads: events are taken on the main thread (the window layer turns them
// into messages), and so are the mouse read, the joystick search and the
// focus and cursor notes. The keyboard and joystick reads may come from any
// thread (the game's input thread reads them every 10 ms while the main
// thread takes events): they are made safe here.
//
// No press is lost between two reads, however late the events were taken: a
// key pressed and released again after one read is taken as a press by the
// next one (buffered data), a joystick button is reported down by the next
// read.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/input_event.h"

// The keyboard as one read finds it: 0x80 for every key down.
using KeyboardState = std::array<uint8_t, 256>;

// The mouse since the previous read.
struct MouseReading {
  int dx = 0, dy = 0, wheel = 0;  // relative motion; wheel > 0 away from the player
  uint8_t buttons[4] = {};        // 0x80 down: left, right, middle, fourth
};

// The joystick as one read finds it.
struct JoystickReading {
  int axes[kJoystickMaxAxes] = {};  // kJoystickAxisMin..kJoystickAxisMax
  uint32_t buttons = 0;             // bit n: button n + 1 down
  int hat = kJoystickHatCentred;
};

class PlatformInput {
 public:
  virtual ~PlatformInput() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;

  // Takes the next input event that is due, true when one was taken. The
  // device state below follows the events taken here. Main thread.
  bool PollEvent(InputEvent* event);

  // Whether a key (scan code) is down as of the events taken so far: 0x80
  // when down, 0 otherwise and for codes outside 1..255. Any thread.
  uint8_t KeyState(int scanCode) const;

  // The keyboard device: every key down now. Any thread.
  void ReadKeyboard(KeyboardState* out) const;
  // Takes the key that went down since it was last taken here with the
  // lowest scan code above after (0 for the first), false when there is
  // none; *scanCode is set. A press taken once is not taken again. Any
  // thread.
  bool TakeKeyPress(int after, int* scanCode);
  // The mouse device: the motion and wheel since the previous read and the
  // buttons down now. Main thread.
  void ReadMouse(MouseReading* out);

  // The window's input focus, as the activation events say. A focus loss is
  // counted: a device held in the foreground is lost until it is acquired
  // again, which can't happen until the focus is back. Main thread for the
  // note, any thread for the rest.
  void NoteFocus(bool focused);
  bool HasFocus() const { return focused_.load(); }
  uint32_t FocusLosses() const { return focusLosses_.load(); }

  // Looks for a joystick and makes the one plugged in (the first, when there
  // are several) the one JoystickRead reads; its capabilities in *caps. False
  // when none is plugged in. A joystick plugged in later is found by the next
  // call. Main thread.
  bool JoystickFind(JoystickCaps* caps);
  // The state of the joystick that the last JoystickFind found, with every
  // button pressed since the previous read; false when none was found or it
  // has been unplugged since. Any thread.
  bool JoystickRead(JoystickReading* out);

  // Shows the system cursor over the window, or hides it and lets the mouse
  // move without bounds (relative motion only). Main thread.
  virtual void ShowSystemCursor(bool /*shown*/) {}

 protected:
  // The implementation's next due event, true when there is one.
  virtual bool NextEvent(InputEvent* event) = 0;
  // Called by JoystickFind first: an implementation that knows of a joystick
  // plugged in before its events were taken applies its plug event now.
  virtual void LookForJoystick() {}
  // Changes the device state as the event says (PollEvent calls it for every
  // event it takes).
  void ApplyEvent(const InputEvent& event);
  // Called by every keyboard read first: an implementation whose keys follow
  // a clock rather than the events taken (keysFollowClock_) brings the keys
  // up to date with SetKey. Any thread.
  virtual void CatchUpKeys() const {}
  void SetKey(int scanCode, bool down) const;
  bool keysFollowClock_ = false;

 private:
  void ApplyJoystickEvent(const InputEvent& event);

  // Mutable: a read may first catch the keys up with the clock.
  mutable std::array<std::atomic<uint8_t>, 256> keyStates_{};
  // 0x80 for a key that went down since its press was last taken.
  mutable std::array<std::atomic<uint8_t>, 256> keysPressed_{};

  int mouseDx_ = 0, mouseDy_ = 0, mouseWheel_ = 0;
  uint8_t mouseButtons_[4] = {};

  std::atomic<bool> focused_{true};
  std::atomic<uint32_t> focusLosses_{0};

  std::mutex joystickLock_;
  bool joystickPlugged_ = false;
  uint32_t joystickPlugs_ = 0;  // counts plug events: which joystick is plugged in
  uint32_t joystickFound_ = 0;  // the plug count JoystickFind saw; 0 = none found
  JoystickCaps joystickCaps_;
  JoystickReading joystick_;
  uint32_t joystickPressed_ = 0;  // buttons that went down since the previous read
};
