// The HUD's ship-status picture: the shield shells over the ship, each
// picture chosen by strength.
#include "game/direct_player.h"
#include "game/hud_layout.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"

namespace {

// The strength picture of a value against its full amount: 0 "2" (strong),
// 1 "3", 2 "4" (weak).
int Strength(float value, float full) {
  if (value < full / 3.0f) return 2;
  if (value < 2.0f * full / 3.0f) return 1;
  return 0;
}

}  // namespace

void CNetDoc::DrawShipStatus() {
  const HudLayout layout = CurrentHudLayout();
  const HudLayoutPositions& at = HudPositions(layout);
  if (!at.shipStatusShown || (layout == HudLayout::Large && !IsHudCockpitOn())) return;
  if (!localPlayer_) return;
  const int x = at.shipStatus.x, y = at.shipStatus.y;
  const int w = shipPictures_[0].GetWidth(), h = shipPictures_[0].GetHeight();
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    access.FillRect(x - 1, y - 1, x + w + 1, y + h + 1, g_BlackColour);
  }
  // The first picture covers the box opaque in the cockpit layout; every
  // other one lets what is under it show through its colour key.
  bool first = true;
  const auto draw = [&](CPicture& picture) {
    picture.Draw(x, y, !(first && layout == HudLayout::Cockpit));
    first = false;
  };
  // The shells, outer (d) to inner (b): each shows the part of the shields
  // above its share.
  const float shields = localPlayer_->GetShields();
  const float full = IsNetworkGame() ? kShipMaxShieldsNetwork : kShipMaxShieldsSingle;
  for (int k = 2; k >= 0; --k) {
    const float v = 3.0f * shields - static_cast<float>(k) * full;
    if (v < 0.1f * full) continue;
    // Shield pictures by shell (d, c, b) outer, strength (2, 3, 4) inner.
    draw(shipShieldPictures_[(2 - k) * 3 + Strength(v, full)]);
  }
  const float health = localPlayer_->GetHealth();
  draw(shipPictures_[health < 10.0f ? 2 : health < 20.0f ? 1 : 0]);
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(x - 1), static_cast<float>(y - 1), static_cast<float>(x + w + 1),
                        static_cast<float>(y + h + 1));
  }
}
