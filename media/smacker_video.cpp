#include "media/smacker_video.h"

#include <string>

#include "media/dd_error_string.h"
#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"
#include "platform/gdi.h"

namespace {

Smack* g_Smack = nullptr;
DWORD g_BufferFlags = 0;
// 0, or the last frame whose change covered the whole video, plus 1: where a
// repaint goes back to.
DWORD g_RepaintFrame = 0;
PALETTEENTRY g_SmackerPalette[256];

bool IsGameColour(int index) { return index >= 10 && index <= 245; }

// The screen's palette as it is now, with the flags a palette object wants:
// the game's entries may not be merged with the system's.
void SmackerSavePalette() {
  HDC screen = GetDC(nullptr);
  GetSystemPaletteEntries(screen, 0, 256, g_SmackerPalette);
  ReleaseDC(nullptr, screen);
  for (int i = 0; i < 256; ++i) g_SmackerPalette[i].peFlags = IsGameColour(i) ? PC_NOCOLLAPSE : 0;
}

// Decodes the current frame into the surface and moves on; false when the
// video has ended. *written says whether the surface got a frame (the last
// one too, which the screen must show as well).
bool SmackerDecode(HWND window, IDirectDrawSurface* decodeSurface, IDirectDrawPalette* palette, bool* written) {
  *written = false;
  if (GetFocus() != window) return false;
  if (g_Smack->NewPalette && g_BufferFlags == 0) {
    OutputDebugString("Smack new palette\n");
    SmackerPalette(palette);
  }
  if (decodeSurface->IsLost() == DDERR_SURFACELOST && decodeSurface->Restore() != DD_OK) return false;
  DDSURFACEDESC desc;
  const HRESULT locked = decodeSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  *written = locked == DD_OK;
  if (*written) {
    SmackToBuffer(g_Smack, 0, 0, static_cast<DWORD>(desc.lPitch), g_Smack->Height, desc.lpSurface, g_BufferFlags);
  } else {
    // The frame is decoded into nothing: the surface keeps the frame before
    // and the video goes on.
    OutputDebugString(DDErrorString(locked).GetString());
    SmackToBuffer(g_Smack, 0, 0, 0, 0, nullptr, g_BufferFlags);
  }
  SmackDoFrame(g_Smack);
  if (*written) decodeSurface->Unlock(nullptr);
  if (SmackToBufferRect(g_Smack, SMACKSURFACESLOW) && *written && g_Smack->LastRectx == 0 && g_Smack->LastRecty == 0 &&
      g_Smack->LastRectw == g_Smack->Width && g_Smack->LastRecth == g_Smack->Height)
    g_RepaintFrame = g_Smack->FrameNum + 1;
  if (g_Smack->FrameNum + 1 >= g_Smack->Frames) return false;
  SmackNextFrame(g_Smack);
  return true;
}

}  // namespace

DWORD SmackerPixelFormat(IDirectDrawSurface* surface) {
  DDPIXELFORMAT format;
  if (surface->GetPixelFormat(&format) == DD_OK) {
    if (format.dwRGBBitCount == 8) return 0;
    struct Layout {
      DWORD red, green, blue, flags;
    };
    static constexpr Layout kLayouts[] = {{0xF800, 0x7E0, 0x1F, SMACKBUFFER565},
                                          {0x7C00, 0x3E0, 0x1F, SMACKBUFFER555},
                                          {0xF800, 0x7C0, 0x3F, SMACKBUFFER556},
                                          {0xFC00, 0x3E0, 0x1F, SMACKBUFFER655}};
    for (const Layout& l : kLayouts) {
      if (format.dwRBitMask == l.red && format.dwGBitMask == l.green && format.dwBBitMask == l.blue) return l.flags;
    }
  }
  MessageBox(nullptr, "Unsupported pixel format.", "Smacker Error", MB_OK);
  return 0;
}

bool SmackerInit(IDirectDrawSurface* decodeSurface, const char* path) {
  OutputDebugString("Init smacker\n");
  SmackerClose();
  if (!decodeSurface) return false;
  DDSURFACEDESC desc;
  if (decodeSurface->GetSurfaceDesc(&desc) != DD_OK) return false;
  g_BufferFlags = SmackerPixelFormat(decodeSurface);
  g_RepaintFrame = 0;
  if (g_BufferFlags == 0) SmackerSavePalette();
  SmackSoundUseDirectSound(nullptr);
  g_Smack = SmackOpen(path, 0xFE000, static_cast<DWORD>(-1));
  if (g_Smack && (g_Smack->Width > desc.dwWidth || g_Smack->Height > desc.dwHeight)) {
    OutputDebugString((std::string("korvane: ") + path + " is larger than the video surface; it is not played\n").c_str());
    SmackerClose();
  }
  return g_Smack != nullptr;
}

bool SmackerFrame(HWND window, IDirectDrawSurface* decodeSurface, IDirectDrawSurface* screenSurface,
                  IDirectDrawPalette* palette) {
  SmackSoundUseWindow(window);
  if (!g_Smack || !decodeSurface || !screenSurface) return false;
  if (SmackWait(g_Smack)) return true;
  bool written = false;
  const bool going = SmackerDecode(window, decodeSurface, palette, &written);
  if (written) {
    HDC screen = nullptr, decoded = nullptr;
    if (screenSurface->GetDC(&screen) == DD_OK) {
      if (decodeSurface->GetDC(&decoded) == DD_OK) {
        StretchBlt(screen, 0, 0, 640, 480, decoded, 0, 0, 320, 240, SRCCOPY);
        decodeSurface->ReleaseDC(decoded);
      }
      screenSurface->ReleaseDC(screen);
    }
  }
  return going;
}

void SmackerOnPaint(HWND window) {
  OutputDebugString("Smack on paint\n");
  if (!g_Smack) return;
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(window, &paint);
  PatBlt(hdc, 0, 0, static_cast<int>(g_Smack->Width), static_cast<int>(g_Smack->Height), BLACKNESS);
  EndPaint(window, &paint);
  if (g_RepaintFrame != 0) {
    SmackSoundOnOff(g_Smack, 0);
    SmackGoto(g_Smack, g_RepaintFrame);
    SmackSoundOnOff(g_Smack, 1);
  }
}

void SmackerPalette(IDirectDrawPalette* palette) {
  if (!g_Smack) return;
  for (int i = 10; i <= 245; ++i) {
    g_SmackerPalette[i].peRed = g_Smack->Palette[3 * i];
    g_SmackerPalette[i].peGreen = g_Smack->Palette[3 * i + 1];
    g_SmackerPalette[i].peBlue = g_Smack->Palette[3 * i + 2];
  }
  if (palette) {
    OutputDebugString("setting smacker palette\n");
    palette->SetEntries(0, 0, 256, g_SmackerPalette);
  }
}

void SmackerClose() {
  if (!g_Smack) return;
  OutputDebugString("Finalise smacker\n");
  SmackClose(g_Smack);
  g_Smack = nullptr;
}

bool IsSmackerOpen() { return g_Smack != nullptr; }

Smack* GetSmackHandle() { return g_Smack; }

const PALETTEENTRY* SmackerPaletteTable() { return g_SmackerPalette; }
