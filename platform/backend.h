#pragma once
// The back end under the platform layer: headless (memory surfaces, silent
// mixer, scripted input; every test uses it) or SDL2 (a real window, keyboard,
// mouse, joystick and audio). One is chosen at start-up:
//   KORVANE_BACKEND=headless|sdl forces a choice; otherwise SDL2 when the
//   program was built with it and a display exists, else headless.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/input_event.h"
#include "platform/types.h"

enum class BackendKind { Headless, Sdl };

class PlatformBackend {
 public:
  virtual ~PlatformBackend() = default;
  virtual BackendKind Kind() const = 0;

  // Takes the next input event that is due, true when one was taken. The key
  // table below follows the key events taken here.
  bool PollEvent(InputEvent* event);

  virtual void Beep(UINT type);
  virtual int ShowMessageBox(const char* text, const char* caption, UINT type);

  // Keyboard state as DirectInput reports it: 256 bytes, 0x80 when down.
  // Written by the thread that polls events, read by the input thread.
  uint8_t KeyState(int scanCode) const;
  void CopyKeyStates(uint8_t out[256]) const;

 protected:
  virtual bool NextEvent(InputEvent* event) = 0;

 private:
  std::array<std::atomic<uint8_t>, 256> keyStates_{};
};

// Which back end this start-up would choose (environment, build, display).
BackendKind BackendChoose();
// The chosen back end, created at first use.
PlatformBackend& PlatformBackendGet();
// Replaces the back end (tests install a headless one with their own script).
void PlatformBackendInstall(std::unique_ptr<PlatformBackend> backend);
