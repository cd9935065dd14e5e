// The SDL2 display: the program's window, scaled to the desktop.
#include <algorithm>
#include <cstdio>

#include "platform/debug_output.h"
#include "platform/sdl/sdl_devices.h"

namespace {

class SdlDisplay : public PlatformDisplay {
 public:
  SdlDisplay(std::shared_ptr<SdlLibrary> sdl, SDL_Window* window) : sdl_(std::move(sdl)), window_(window) {}
  ~SdlDisplay() override { SDL_DestroyWindow(window_); }
  const char* Name() const override { return "SDL2 window"; }

  int ShowMessageBox(const char* text, const char* caption, UINT type) override {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, window_);
    return MessageBoxDefaultButton(type);
  }
  // SDL2 has no system sounds.
  void Beep(UINT type) override { std::fprintf(stderr, "korvane: beep (%u)\n", type); }

 private:
  std::shared_ptr<SdlLibrary> sdl_;  // kept until the window is gone
  SDL_Window* window_;
};

}  // namespace

std::unique_ptr<PlatformDisplay> SdlDisplayCreate(std::shared_ptr<SdlLibrary> sdl) {
  // The game's screens are 640x480; the window scales them to the desktop.
  SDL_DisplayMode desktop;
  int width = 640, height = 480;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    const int scale = std::max(1, std::min((desktop.w - 64) / 640, (desktop.h - 96) / 480));
    width *= scale;
    height *= scale;
  }
  SDL_Window* window =
      SDL_CreateWindow("Korvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_RESIZABLE);
  if (!window) {
    OutputDebugString(SDL_GetError());
    return nullptr;
  }
  return std::make_unique<SdlDisplay>(std::move(sdl), window);
}
