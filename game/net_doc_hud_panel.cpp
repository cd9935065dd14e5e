// The HUD's panel: the heat and Freon gauge, the missile-ready picture and
// the ten weapon slots with their counts and refill dots.
#include <algorithm>
#include <cstdio>

#include "engine/palette.h"
#include "game/game_clock.h"
#include "game/hud_colours.h"
#include "game/hud_layout.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"

namespace {

// Missile bits: 1 rockets, 2 homing, 4 micro, 8 nuke, 32 vortex, 64 sentry.
// Gun bits: 1 autocannon, 2 plasma coil, 8 pulse laser, 16 molnia arc,
// 32 core accelerator.
struct SlotLook {
  int digit;
  int bit;
  bool missile;
};
constexpr SlotLook kSlots[10] = {{1, 1, true},   {2, 32, true},  {3, 4, true},  {4, 8, true},  {5, 64, true},
                                 {6, 1, false},  {7, 16, false}, {8, 32, false}, {9, 8, false}, {0, 2, false}};

}  // namespace

void PlotHudDot(int colour, int x, int y) {
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    if (y < 0 || y >= access.Height()) return;
    for (int i = std::max(x, 0); i < std::min(x + 3, access.Width()); ++i) {
      access.Bits()[static_cast<ptrdiff_t>(y) * access.Pitch() + i] = static_cast<unsigned char>(colour);
    }
  }
  if (g_pInterface) g_pInterface->BlitRect(x, y, 3, 1);
}

bool CNetDoc::IsMissileReady() {
  struct Kind {
    int bits;
    int fireKind;
    int interval;
  };
  const Kind kinds[] = {{1 | 2, kFireRockets, tuning_.rocketInterval},
                        {4, kFireMicroMissiles, tuning_.microMissileInterval},
                        {8, kFireNuke, tuning_.nukeInterval},
                        {64, kFireSentry, tuning_.sentryInterval},
                        {32, kFireVortexShield, tuning_.vortexShieldInterval}};
  const int now = GetGameTime();
  for (const Kind& kind : kinds) {
    if ((selectedMissile_ & kind.bits) == 0) continue;
    if (GameTimeSince(static_cast<int32_t>(lastFireTimes_[kind.fireKind]), now) < kind.interval) return false;
  }
  return true;
}

void CNetDoc::DrawWeaponSlot(int x, int y, int digit, int bit, bool isMissile, int /*ignored*/) {
  if (hudRedraw_[kHudRedrawSlots] <= 0 || CurrentHudLayout() == HudLayout::Small) return;
  if (digit < 0 || digit > 9) return;
  const uint8_t owned = isMissile ? ownedMissiles_ : ownedGuns_;
  const uint8_t selected = isMissile ? selectedMissile_ : selectedGun_;
  const int state = (owned & bit) == 0 ? 2 : (selected & bit) != 0 ? 0 : 1;
  GetWeaponPicture(digit, state).Draw(x, y, false);
}

void CNetDoc::DrawHudPanel() {
  const HudLayout layout = CurrentHudLayout();
  if ((layout == HudLayout::Large || layout == HudLayout::Small) && !IsHudCockpitOn()) return;
  const HudLayoutPositions& at = HudPositions(layout);

  // The gauge.
  const int x = at.gaugeX, y = at.gaugeY, w = at.gaugeWidth, h = at.gaugeHeight;
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    const int margin = layout == HudLayout::Small ? 1 : 2;
    access.FillRect(x - margin, y - margin, x + w + margin, y + h + margin, g_BlackColour);
    if (freon_ > 0.0f) {
      const int top = static_cast<int>(static_cast<float>(y) + static_cast<float>(h) * (1.0f - freon_ * 0.01f));
      access.FillRect(x, top, x + w, y + h, static_cast<unsigned char>(FindNearestPaletteIndex(0, 0, 255)));
    } else {
      // The heat in bands from the bottom, each up to the heat or its top.
      struct Band {
        float bottom, top;
        int r, g, b;
      };
      static constexpr Band kBands[] = {
          {0.85f, 1.0f, 255, 95, 95}, {0.6f, 0.85f, 223, 0, 0}, {0.3f, 0.6f, 223, 223, 0}, {0.0f, 0.3f, 0, 223, 0}};
      const float heat = gunHeat_;
      for (const Band& band : kBands) {
        if (heat <= band.bottom) continue;
        const int top = static_cast<int>(static_cast<float>(y) + (1.0f - std::min(heat, band.top)) * h);
        const int bottom = static_cast<int>(static_cast<float>(y) + (1.0f - band.bottom) * h);
        access.FillRect(x, top, x + w, bottom,
                        static_cast<unsigned char>(FindNearestPaletteIndex(band.r, band.g, band.b)));
      }
    }
  }
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(x - 2), static_cast<float>(y - 2), static_cast<float>(x + w + 2),
                        static_cast<float>(y + h + 2));
  }

  // The missile-ready picture, drawn on both pages after each change.
  const bool ready = IsMissileReady();
  if (ready != (missileReadyDrawn_ != 0)) hudRedraw_[kHudRedrawMissileReady] = 2;
  if (hudRedraw_[kHudRedrawMissileReady] > 0) {
    --hudRedraw_[kHudRedrawMissileReady];
    if (at.missileReadyShown) {
      CPicture& picture = ready ? missileReadyPicture_ : missileReloadPicture_;
      picture.Draw(at.missileReady.x, at.missileReady.y, false);
      missileReadyDrawn_ = ready ? 1 : 0;
      if (view_) {
        view_->AddDirtyRect(static_cast<float>(at.missileReady.x), static_cast<float>(at.missileReady.y),
                            static_cast<float>(at.missileReady.x + picture.GetWidth()),
                            static_cast<float>(at.missileReady.y + picture.GetHeight()));
      }
    }
  }

  // The weapon slots with their counts and refill dots.
  const int cargo = cargoUnits_;
  const TuningBlock& t = tuning_;
  const int* a = ammo_;
  const int counts[10] = {a[kAmmoRockets] + a[kAmmoHoming], a[kAmmoVortexShields], a[kAmmoMicroMissiles],
                          a[kAmmoNukes], a[kAmmoSentries], a[kAmmoShells], a[kAmmoEnergyCells], a[kAmmoSlugs],
                          a[kAmmoEnergyCells], a[kAmmoPlasmaBolts]};
  const bool refill[10] = {
      a[kAmmoRockets] < t.rocketCapacity * (cargo + 1) && a[kAmmoHoming] < t.homingCapacity * (cargo + 1),
      a[kAmmoVortexShields] < t.vortexShieldCapacity * cargo,
      a[kAmmoMicroMissiles] < t.microMissileCapacity * (cargo + 1),
      a[kAmmoNukes] < t.nukeCapacity * cargo,
      a[kAmmoSentries] < t.sentryCapacity * cargo,
      a[kAmmoShells] < t.shellCapacity,
      a[kAmmoEnergyCells] < t.energyCellCapacity,
      a[kAmmoSlugs] < t.slugCapacity,
      a[kAmmoEnergyCells] < t.energyCellCapacity,
      a[kAmmoPlasmaBolts] < t.plasmaBoltCapacity};
  const int green = FindPaletteColour(0, 255, 0), red = FindPaletteColour(255, 0, 0);
  CBitmapFont& font = *GetTextRenderer();
  for (int i = 0; i < 10; ++i) {
    const int sx = at.slotX + i * at.slotStep, sy = at.slotY;
    DrawWeaponSlot(sx, sy, kSlots[i].digit, kSlots[i].bit, kSlots[i].missile, 0);
    if (counts[i] >= 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%3d", counts[i]);
      font.DrawText(text, sx, sy + 25, false);
    }
    PlotHudDot(refill[i] ? green : red, sx + 2, sy + 34);
  }
  // The slots and, below them, their counts and dots (a rectangle ending at
  // the slots' foot, y + 32, would leave the dots and the counts' last rows
  // off the frame).
  if (view_) {
    const int bottom = std::max(at.slotY + 25 + font.GetGlyphHeight(), at.slotY + 35);
    view_->AddDirtyRect(static_cast<float>(at.slotX - 1), static_cast<float>(at.slotY - 1),
                        static_cast<float>(at.slotX + 10 * at.slotStep + 1), static_cast<float>(bottom));
  }
  if (hudRedraw_[kHudRedrawSlots] > 0) --hudRedraw_[kHudRedrawSlots];
}
