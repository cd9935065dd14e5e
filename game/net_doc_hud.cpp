// The document's HUD: the message log and the parts drawn over each game
// frame.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/palette.h"
#include "game/direct_player.h"
#include "game/hud_colours.h"
#include "game/hud_layout.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"

namespace {

// Where a text longer than a log line is cut: after its last blank, full stop
// or comma at or before the line's last index (never at index 0, so every
// part holds something); after a whole line when there is none.
size_t MessageSplit(const std::string& text) {
  for (size_t i = CNetDoc::kMessageWidth - 1; i >= 1; --i) {
    if (text[i] == ' ' || text[i] == '.' || text[i] == ',') return i + 1;
  }
  return CNetDoc::kMessageWidth;
}

// Older lines fade to 70 % of their colour's red, green and blue.
int DimmedColour(int colour) {
  if (colour <= 0 || colour >= kPaletteSize) return colour;
  return NearestPaletteIndex(g_PaletteRed[colour] * 7 / 10, g_PaletteGreen[colour] * 7 / 10,
                             g_PaletteBlue[colour] * 7 / 10);
}

}  // namespace

void CNetDoc::AddMessage(const char* text, int colour, BOOL keep) {
  std::string rest = text ? text : "";
  bool continuation = keep != FALSE;
  for (;;) {
    std::string line = rest;
    if (rest.size() > static_cast<size_t>(kMessageWidth)) {
      const size_t cut = MessageSplit(rest);
      line = rest.substr(0, cut);
      rest = rest.substr(cut);
    } else {
      rest.clear();
    }

    if (!continuation) {
      for (int i = 0; i < kMessageLines; ++i) {
        if (!messageFresh_[i]) continue;
        messageFresh_[i] = 0;
        // A line in the font's own colours (0 or less) keeps them: dimming
        // palette entry 0 would turn it black.
        messageColour_[i] = DimmedColour(messageColour_[i]);
      }
    }

    int slot = kMessageLines - 1;
    if (messageText_[kMessageLines - 1].IsEmpty()) {
      slot = 0;
      for (int i = kMessageLines - 1; i >= 0; --i) {
        if (!messageText_[i].IsEmpty()) {
          slot = i + 1;
          break;
        }
      }
    } else {
      for (int i = 0; i < kMessageLines - 1; ++i) {
        messageText_[i] = messageText_[i + 1];
        messageColour_[i] = messageColour_[i + 1];
        messageFresh_[i] = messageFresh_[i + 1];
      }
    }
    messageText_[slot] = CString(line.c_str());
    messageColour_[slot] = colour;
    messageFresh_[slot] = 1;
    InvalidateMessageArea();

    if (rest.empty()) break;
    continuation = true;
  }
}

void CNetDoc::DrawHud() {
  if (hudOff_) return;
  DrawHudPanel();
  DrawMessageLog();
  if (countdownMs_ >= 0 && g_pInterface) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", countdownMs_ / 1000);
    g_pInterface->GetHudFont().DrawText(text, 2, 2, false);
    if (view_) view_->AddDirtyRect(1, 1, 43, 19);
  }
  DrawShieldAndHealth();
}

void CNetDoc::CoolWithFreon() {
  if (gunHeat_ <= 0.0f || freon_ <= 0.0f) return;
  freon_ -= gunHeat_ * 20.0f;
  if (freon_ > 0.0f) {
    gunHeat_ = 0.0f;
  } else {
    gunHeat_ = -freon_ * 0.05f;
    freon_ = 0.0f;
  }
}

void CNetDoc::DrawHudPanel() {
  const HudLayout layout = CurrentHudLayout();
  if ((layout == HudLayout::Large || layout == HudLayout::Small) && !IsHudCockpitOn()) return;
  const HudLayoutPositions& at = HudPositions(layout);
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
}

void CNetDoc::DrawShieldAndHealth() {
  if (!localPlayer_) return;
  const HudLayoutPositions& at = HudPositions(CurrentHudLayout());
  const int x = at.numbers.x, y = at.numbers.y;
  CBitmapFont& font = *GetTextRenderer();
  char text[32];
  std::snprintf(text, sizeof text, "%3d", static_cast<int>(localPlayer_->GetShields()));
  font.DrawText(text, x, y, false);
  std::snprintf(text, sizeof text, "%3d", static_cast<int>(localPlayer_->GetHealth()));
  font.DrawText(text, x, y + 9, false);
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(x - 1), static_cast<float>(y - 1), static_cast<float>(x + 25),
                        static_cast<float>(y + 18));
  }
}

void CNetDoc::DrawMessageLog() {
  const HudLayout layout = CurrentHudLayout();
  const HudLayoutPositions& at = HudPositions(layout);
  if (!at.messageLogShown || (layout == HudLayout::Large && !IsHudCockpitOn())) return;
  if (hudRedraw_[3] <= 0) return;
  --hudRedraw_[3];

  CBitmapFont& font = *GetTextRenderer();
  const int x = at.messageLog.x, y = at.messageLog.y;
  const int g = font.GetGlyphHeight();
  const int left = x - 2, top = y - 1, right = x + 256, bottom = y + kMessageLines * g + 1;
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    access.FillRect(left, top, right, bottom, g_BlackColour);
  }
  const bool keyed = layout != HudLayout::Cockpit;
  for (int i = 0; i < kMessageLines; ++i) {
    const char* line = messageText_[i].GetString();
    if (messageColour_[i] > 0) {
      font.DrawTextColour(line, x, y + i * g, static_cast<unsigned char>(messageColour_[i]));
    } else {
      font.DrawText(line, x, y + i * g, keyed);
    }
  }
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                        static_cast<float>(bottom));
  }
}
