#pragma once
// Input: the events a back end delivers (keys by DirectInput scan code,
// typed characters, relative mouse motion and buttons, quit) and the keyboard
// state they leave behind.
//
// Headless (platform/headless/): the events of an input script, each due at
// its time on the platform clock. SDL2 (platform/sdl/): the window's key,
// text and mouse events. Either way, a stop request of the process (Ctrl+C,
// SIGTERM; platform/process_services.h) arrives as one quit event.
//
// Threads: events are taken on the main thread (the window layer turns them
// into messages); the key table may be read from any thread.
//
// Not here yet: the keyboard and mouse read as device state, and the
// joystick. They come with the input stand-in of the interface manager's
// input thread, shaped by what it reads.
#include <array>
#include <atomic>
#include <cstdint>

#include "platform/input_event.h"

class PlatformInput {
 public:
  virtual ~PlatformInput() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;

  // Takes the next input event that is due, true when one was taken. The key
  // table below follows the key events taken here.
  bool PollEvent(InputEvent* event);

  // Keyboard state as DirectInput reports it: 256 bytes, 0x80 when down, 0
  // for codes outside 1..255.
  uint8_t KeyState(int scanCode) const;
  void CopyKeyStates(uint8_t out[256]) const;

 protected:
  // The implementation's next due event, true when there is one.
  virtual bool NextEvent(InputEvent* event) = 0;

 private:
  std::array<std::atomic<uint8_t>, 256> keyStates_{};
};
