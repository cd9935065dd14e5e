#include "platform/backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/debug_output.h"
#include "platform/headless/headless_backend.h"
#if KORVANE_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

namespace {
std::unique_ptr<PlatformBackend>& Current() {
  static std::unique_ptr<PlatformBackend> backend;
  return backend;
}

bool DisplayExists() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}
}  // namespace

bool PlatformBackend::PollEvent(InputEvent* event) {
  if (!NextEvent(event)) return false;
  if (event->scanCode > 0 && event->scanCode < 256) {
    if (event->type == InputEventType::KeyDown) keyStates_[event->scanCode] = 0x80;
    if (event->type == InputEventType::KeyUp) keyStates_[event->scanCode] = 0;
  }
  return true;
}

void PlatformBackend::Beep(UINT type) { std::fprintf(stderr, "korvane: beep (%u)\n", type); }

int PlatformBackend::ShowMessageBox(const char* text, const char* caption, UINT type) {
  std::fprintf(stderr, "korvane: message box \"%s\": %s\n", caption, text);
  return MessageBoxDefaultButton(type);
}

uint8_t PlatformBackend::KeyState(int scanCode) const {
  if (scanCode <= 0 || scanCode >= 256) return 0;
  return keyStates_[scanCode];
}

void PlatformBackend::CopyKeyStates(uint8_t out[256]) const {
  for (int i = 0; i < 256; ++i) out[i] = keyStates_[i];
}

BackendKind BackendChoose() {
  const char* forced = std::getenv("KORVANE_BACKEND");
  if (forced && std::strcmp(forced, "headless") == 0) return BackendKind::Headless;
#if KORVANE_HAVE_SDL
  if (forced && std::strcmp(forced, "sdl") == 0) return BackendKind::Sdl;
  return DisplayExists() ? BackendKind::Sdl : BackendKind::Headless;
#else
  if (forced && std::strcmp(forced, "sdl") == 0)
    std::fprintf(stderr, "korvane: built without SDL2, using the headless back end\n");
  (void)DisplayExists;
  return BackendKind::Headless;
#endif
}

PlatformBackend& PlatformBackendGet() {
  std::unique_ptr<PlatformBackend>& backend = Current();
  if (!backend) {
#if KORVANE_HAVE_SDL
    if (BackendChoose() == BackendKind::Sdl) {
      backend = SdlBackendCreate();
      if (!backend) std::fprintf(stderr, "korvane: SDL2 start failed, using the headless back end\n");
    }
#endif
    if (!backend) backend = HeadlessBackendCreateFromEnvironment();
  }
  return *backend;
}

void PlatformBackendInstall(std::unique_ptr<PlatformBackend> backend) { Current() = std::move(backend); }
