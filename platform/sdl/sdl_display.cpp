// The SDL2 display: one resizable window showing the program's frames scaled
// with their aspect ratio kept.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "platform/device_3d.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_devices.h"

namespace {

// Shows frames in a window, or (window null) in a memory surface.
class SdlDisplay : public SdlScreen {
 public:
  SdlDisplay(std::shared_ptr<SdlLibrary> sdl, SDL_Window* window, SDL_Renderer* renderer, SDL_Surface* memory = nullptr)
      : sdl_(std::move(sdl)), window_(window), renderer_(renderer), memory_(memory) {}
  ~SdlDisplay() override {
    if (window_) Platform3DSetForeignContextRelease(nullptr);
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (memory_) SDL_FreeSurface(memory_);
  }
  const char* Name() const override { return "SDL2 window"; }

  int ShowMessageBox(const char* text, const char* caption, UINT type) override {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, window_);
    return MessageBoxDefaultButton(type);
  }
  // SDL2 has no system sounds.
  void Beep(UINT type) override { std::fprintf(stderr, "korvane: beep (%u)\n", type); }

  void Present(const DisplayImage& image) override {
    if (Upload(image)) Show();
  }

  void SetExclusive(bool exclusive) override {
    exclusive_ = exclusive;
    SetFullScreen(exclusive);
  }
  void RestoreDesktop() override {
    exclusive_ = false;
    SetFullScreen(false);
    if (!window_) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
  }
  uint32_t SurfaceLossCount() const override { return losses_; }
  uint64_t PresentCount() const override { return presented_; }
  bool ReadPresented(RgbFrame* frame) const override {
    if (presented_ == 0 || !texture_) return false;
    Render();
    return ReadWindow(frame);
  }

  bool HandleWindowEvent(const SDL_WindowEvent& window, InputEvent* event) override {
    switch (window.event) {
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_RESTORED:
        // The window's pixels are gone or of another size: the last frame is
        // shown again, and counts as shown.
        if (texture_) Show();
        return false;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        *event = InputEvent{InputEventType::Activate};
        event->active = true;
        return true;
      case SDL_WINDOWEVENT_FOCUS_LOST:
      case SDL_WINDOWEVENT_MINIMIZED:
        // Leaving a program that holds the screen gives the screen back to
        // the desktop, which takes the surfaces' memory.
        if (exclusive_) ++losses_;
        *event = InputEvent{InputEventType::Activate};
        event->minimized = window.event == SDL_WINDOWEVENT_MINIMIZED;
        return true;
      default:
        return false;
    }
  }

  bool ToggleFullScreen(InputEvent* event) override {
    SetFullScreen(!fullScreen_);
    if (!exclusive_) return false;
    ++losses_;
    *event = InputEvent{InputEventType::Activate};
    event->active = true;
    return true;
  }

 private:
  // Full screen is a borderless window covering the desktop of the display
  // the window is on; the window's place and size are kept for the way back.
  void SetFullScreen(bool on) {
    if (on == fullScreen_ || !window_) return;
    if (on) {
      SDL_Rect bounds;
      if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &bounds) != 0) {
        OutputDebugString((std::string("korvane: no desktop to fill: ") + SDL_GetError() + "\n").c_str());
        return;
      }
      SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
      SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
      SDL_SetWindowBordered(window_, SDL_FALSE);
      SDL_SetWindowResizable(window_, SDL_FALSE);
      SDL_SetWindowPosition(window_, bounds.x, bounds.y);
      SDL_SetWindowSize(window_, bounds.w, bounds.h);
      SDL_RaiseWindow(window_);
    } else {
      SDL_SetWindowBordered(window_, SDL_TRUE);
      SDL_SetWindowResizable(window_, SDL_TRUE);
      SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
      SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    }
    fullScreen_ = on;
  }

  // The texture's frame into the window, recorded when asked.
  void Show() {
    ++presented_;
    Render();
    std::string path;
    if (DisplayFrameRecordPath(presented_, &path)) {
      RgbFrame frame;
      if (ReadWindow(&frame)) RgbFrameWritePng(frame, path.c_str());
    }
    SDL_RenderPresent(renderer_);
  }

  // The frame into the streaming texture (made again when its size changes).
  bool Upload(const DisplayImage& image) {
    if (!texture_ || textureWidth_ != image.width || textureHeight_ != image.height) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, image.width,
                                   image.height);
      if (!texture_) {
        OutputDebugString((std::string("korvane: no frame texture: ") + SDL_GetError() + "\n").c_str());
        return false;
      }
      textureWidth_ = image.width;
      textureHeight_ = image.height;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
    DisplayImageToXrgb(image, static_cast<uint32_t*>(pixels), pitch);
    SDL_UnlockTexture(texture_);
    return true;
  }

  void Render() const {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    // The window may have changed size since the renderer last heard of it
    // (a switch to full screen is answered later): draw on all of it.
    SDL_RenderSetViewport(renderer_, nullptr);
    const DisplayRect fit = DisplayFitRect(textureWidth_, textureHeight_, width, height);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{fit.x, fit.y, fit.width, fit.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  }

  bool ReadWindow(RgbFrame* frame) const {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    frame->width = width;
    frame->height = height;
    frame->rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    return SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB24, frame->rgb.data(), width * 3) == 0;
  }

  std::shared_ptr<SdlLibrary> sdl_;  // kept until the window is gone
  SDL_Window* window_;
  SDL_Renderer* renderer_;
  SDL_Surface* memory_;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool exclusive_ = false;
  bool fullScreen_ = false;
  SDL_Rect windowed_{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480};
  uint32_t losses_ = 0;
  uint64_t presented_ = 0;
};

}  // namespace

std::unique_ptr<PlatformDisplay> SdlMemoryDisplayCreate(int width, int height) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Surface* memory = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  SDL_Renderer* renderer = memory ? SDL_CreateSoftwareRenderer(memory) : nullptr;
  if (!renderer) {
    OutputDebugString(SDL_GetError());
    if (memory) SDL_FreeSurface(memory);
    return nullptr;
  }
  return std::make_unique<SdlDisplay>(nullptr, nullptr, renderer, memory);
}

std::unique_ptr<SdlScreen> SdlDisplayCreate(std::shared_ptr<SdlLibrary> sdl) {
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
  // Scaling blends neighbouring pixels; presenting waits for the screen's
  // refresh where there is one, which paces the idle loop.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    OutputDebugString(SDL_GetError());
    SDL_DestroyWindow(window);
    return nullptr;
  }
  // SDL2's renderer may draw with an OpenGL context of its own on this
  // thread; the 3-D device lets it go before it draws with its own, and the
  // renderer makes it current again when it next draws (it notices that its
  // context is no longer current).
  Platform3DSetForeignContextRelease([] {
    if (SDL_GL_GetCurrentContext()) SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
  });
  return std::make_unique<SdlDisplay>(std::move(sdl), window, renderer);
}
