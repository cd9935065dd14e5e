// korvanesw's cockpit: the picture "!cockpit.bmp" beside the archives,
// loaded as an engine texture by LoadTextureBitmap (so at most 256 x 256)
// and drawn into the 8-bit frame stretched back to the 640x480 screen by
// nearest neighbour, see-through where its texels are 255; and the pilot's
// hands, pictures of "INTERFC.CAN" drawn onto both pages of the flip chain
// when the steering changes, see-through where their pixels are 255; and
// the cockpit panels' new frames, drawn into the interface bitmap, copied
// onto both pages.
//
// The cockpit shows only at 640x480: at the other sizes of "ScreenRes" the
// game is drawn without it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/texture.h"
#include "game/data_archive_locator.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_view.h"
#include "media/back_buffer_access.h"
#include "platform/ascii.h"
#include "platform/direct_draw.h"
#include "softbuild/bitmap_texture.h"
#include "softbuild/screen_lock.h"

namespace {

constexpr const char* kCockpitFile = "!cockpit.bmp";
constexpr const char* kArchive = "INTERFC.CAN";
// The fatal-error line of a cockpit picture that can't be had.
constexpr int kCockpitFatalLine = 1127;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
// The rows beside the 3-D band that every frame draws again.
constexpr int kBandTop = 64;
constexpr int kBandBottom = 322;
constexpr int kHandsX = 224, kHandsY = 377;
constexpr uint8_t kSeeThrough = 255;

// Looked up by name each time: a new level's texture list replaces the one
// the picture was loaded into, and the next level start loads it again.
const Texture* CockpitTexture() {
  for (Texture* t = TextureListHead(); t; t = TextureNext(t))
    if (t->name && AsciiEqualNoCase(t->name, kCockpitFile)) return t->pixels ? t : nullptr;
  return nullptr;
}

bool ScreenShowsCockpit() {
  return g_pInterface && g_pInterface->IsCockpitShown() && g_pInterface->GetScreenWidth() == kScreenWidth &&
         g_pInterface->GetScreenHeight() == kScreenHeight;
}

// Rows [first, end) of the picture onto a surface of the screen's size.
void DrawPictureRows(IDirectDrawSurface* surface, const Texture& picture, int first, int end) {
  ScreenLock screen(surface);
  if (!screen.Bits()) return;
  const int width = std::min(kScreenWidth, screen.Width());
  end = std::min(end, std::min(kScreenHeight, screen.Height()));
  for (int y = std::max(first, 0); y < end; ++y) {
    const uint8_t* texels = picture.pixels + static_cast<size_t>(y * picture.height / kScreenHeight) * picture.width;
    uint8_t* row = screen.Row(y);
    for (int x = 0; x < width; ++x) {
      const uint8_t texel = texels[x * picture.width / kScreenWidth];
      if (texel != kSeeThrough) row[x] = texel;
    }
  }
}

void DrawHandsOnto(IDirectDrawSurface* surface, const CPicture& hands) {
  ScreenLock screen(surface);
  if (!screen.Bits()) return;
  for (int y = 0; y < hands.GetHeight(); ++y) {
    for (int x = 0; x < hands.GetWidth(); ++x) {
      const uint8_t pixel = hands.PixelAt(x, y);
      if (pixel != kSeeThrough) screen.Plot(kHandsX + x, kHandsY + y, pixel);
    }
  }
}

}  // namespace

void CNetView::LoadCockpitTexture() {
  const std::string path = FindDataFile(kCockpitFile);
  if (!LoadTextureBitmap(path.c_str())) CGameApp::FatalError("NetView", kCockpitFatalLine);
  for (int code = 1; code <= kHandsPictureCount; ++code) {
    char name[16];
    std::snprintf(name, sizeof name, "hands%d.bmp", code);
    hands_[code - 1].Load(name, kArchive, false);
  }
}

void CNetView::DrawCockpitTexture() {
  if (!ScreenShowsCockpit()) return;
  const Texture* picture = CockpitTexture();
  if (!picture) return;
  IDirectDrawSurface* back = g_pInterface->GetBackSurface();
  IDirectDrawSurface* primary = g_pInterface->GetPrimarySurface();
  if (!back) back = primary;
  if (IsCockpitRedrawDue()) {
    DrawPictureRows(back, *picture, 0, kScreenHeight);
    // The page shown now gets it too, so that both pages of the flip chain
    // carry the parts that are not drawn every frame.
    if (g_pInterface->IsPresentByFlip() && primary != back) DrawPictureRows(primary, *picture, 0, kScreenHeight);
  } else {
    DrawPictureRows(back, *picture, kBandTop, kBandBottom);
  }
}

void CNetView::DrawHandsPicture(int steering) {
  if (!ScreenShowsCockpit() || steering < 1 || steering > kHandsPictureCount) return;
  const CPicture& hands = hands_[steering - 1];
  if (!hands.IsLoaded()) return;
  IDirectDrawSurface* back = g_pInterface->GetBackSurface();
  IDirectDrawSurface* primary = g_pInterface->GetPrimarySurface();
  DrawHandsOnto(back ? back : primary, hands);
  if (back && primary && g_pInterface->IsPresentByFlip()) DrawHandsOnto(primary, hands);
}

void CNetView::ShowInterfaceRect(int left, int top, int right, int bottom) {
  if (!ScreenShowsCockpit()) return;
  IDirectDrawSurface* back = g_pInterface->GetBackSurface();
  IDirectDrawSurface* primary = g_pInterface->GetPrimarySurface();
  for (IDirectDrawSurface* surface : {back, g_pInterface->IsPresentByFlip() ? primary : nullptr}) {
    if (!surface) continue;
    CBackBufferAccess bitmap;
    if (!bitmap.Bits()) return;
    ScreenLock screen(surface);
    if (!screen.Bits()) continue;
    const int x0 = std::max(left, 0);
    const int x1 = std::min({right, bitmap.Width(), screen.Width()});
    const int y1 = std::min({bottom, bitmap.Height(), screen.Height()});
    if (x1 <= x0) return;
    for (int y = std::max(top, 0); y < y1; ++y)
      std::memcpy(screen.Row(y) + x0, bitmap.Bits() + static_cast<size_t>(y) * bitmap.Pitch() + x0,
                  static_cast<size_t>(x1 - x0));
  }
}
