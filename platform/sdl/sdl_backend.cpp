#include "platform/sdl/sdl_backend.h"

#include "platform/debug_output.h"
#include "platform/sdl/sdl_devices.h"

std::shared_ptr<SdlLibrary> SdlLibrary::Start() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    OutputDebugString(SDL_GetError());
    return nullptr;
  }
  return std::shared_ptr<SdlLibrary>(new SdlLibrary());
}

SdlLibrary::~SdlLibrary() { SDL_Quit(); }

bool SdlBackendCreate(PlatformBackend* out) {
  std::shared_ptr<SdlLibrary> sdl = SdlLibrary::Start();
  if (!sdl) return false;
  std::unique_ptr<SdlScreen> display = SdlDisplayCreate(sdl);
  if (!display) return false;
  out->kind = BackendKind::Sdl;
  // The input tells the display about the window; it is destroyed first
  // (PlatformBackend lists the display before it).
  out->input = SdlInputCreate(sdl, display.get());
  out->display = std::move(display);
  out->sound = OpenAlDeviceCreate();
  out->music = PlatformMusicCreate();
  out->video = PlatformVideoCreate();
  out->device3d = Platform3DDeviceChoose();
  out->network = EnetNetworkCreate();
  return true;
}
