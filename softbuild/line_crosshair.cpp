// korvanesw's gun sight: four short green arms round the centre of the 3-D
// view, and with the autocannon selected four red corner brackets round the
// target marker auto-aim places (the centre when it has placed none). Drawn
// with lines into the frame after the world, within the screen's size.
#include <algorithm>

#include "engine/palette.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/direct_draw.h"
#include "render/screen_lines.h"
#include "softbuild/screen_lock.h"

namespace {

constexpr uint8_t kGunAutocannon = 1;
// The 3-D band under the cockpit, as the frame draws it (at 640x480 only).
constexpr int kCockpitTop = 64;
constexpr int kCockpitBand = 248;
constexpr int kCockpitScreenWidth = 640;
constexpr int kCockpitScreenHeight = 480;

struct SightSizes {
  int reach;    // L: from the centre to the arms' far ends
  int arm;      // g: the length of an arm
  int bracket;  // t: the length of a bracket line
};

SightSizes SizesFor(int screenWidth) {
  if (screenWidth >= 500) return {10, 5, 4};
  return {6, 3, 2};
}

}  // namespace

void CNetView::DrawCrosshair() {
  if (!g_pInterface || !g_pNetDoc || g_pNetDoc->IsExternalView()) return;
  IDirectDrawSurface* surface = g_pInterface->GetBackSurface();
  if (!surface) surface = g_pInterface->GetPrimarySurface();
  ScreenLock screen(surface);
  if (!screen.Bits()) return;
  int top = 0;
  int height = std::min(view_.height, screen.Height());
  if (g_pInterface->IsCockpitShown() && screen.Width() == kCockpitScreenWidth &&
      screen.Height() == kCockpitScreenHeight) {
    top = kCockpitTop;
    height = std::min(height, kCockpitBand);
  }
  // The lines go into the frame through a view record of the screen's own
  // size, so nothing is drawn outside it whatever the view record says.
  View target = view_;
  target.width = std::min(view_.width, screen.Width());
  target.height = height;
  target.flags &= ~kRenderHardware;
  target.target = target.firstRow = screen.Row(top);
  target.pitch = screen.Pitch();
  target.drawPolygon = nullptr;

  const SightSizes s = SizesFor(g_pInterface->GetScreenWidth());
  const int cx = target.width / 2;
  const int cy = target.height / 2;
  const int green = FindPaletteColourAll(0, 200, 0);
  DrawLine2D(&target, cx - s.reach + 1, cy, cx - s.reach + s.arm, cy, green, 1);
  DrawLine2D(&target, cx + s.reach - s.arm, cy, cx + s.reach - 1, cy, green, 1);
  DrawLine2D(&target, cx, cy - s.reach + 1, cx, cy - s.reach + s.arm, green, 1);
  DrawLine2D(&target, cx, cy + s.reach - s.arm, cx, cy + s.reach - 1, green, 1);

  int mx = cx;
  int my = cy;
  if (g_pNetDoc->IsTargetMarkerValid()) {
    mx = g_pNetDoc->GetTargetMarkerX();
    my = g_pNetDoc->GetTargetMarkerY();
    // Auto-aim places the marker again each frame while the fire key is held.
    if (!g_pNetDoc->IsFireHeld()) g_pNetDoc->PlaceTargetMarker(mx, my, false);
  } else {
    g_pNetDoc->PlaceTargetMarker(cx, cy, true);
  }
  if (!(g_pNetDoc->GetSelectedGun() & kGunAutocannon)) return;
  const int red = FindPaletteColourAll(255, 0, 0);
  const int l = s.reach;
  const int t = s.bracket;
  // Each corner: a horizontal and a vertical line of t pixels, starting one
  // pixel from the corner and running along the square's edges.
  for (const int sx : {-1, 1}) {
    for (const int sy : {-1, 1}) {
      const int x = mx + sx * l;
      const int y = my + sy * l;
      DrawLine2D(&target, x - sx, y, x - sx * t, y, red, 1);
      DrawLine2D(&target, x, y - sy, x, y - sy * t, red, 1);
    }
  }
}
