// The document's HUD: the message log and the parts drawn over each game
// frame.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/palette.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/hud_colours.h"
#include "game/hud_layout.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/menu_widgets.h"
#include "world/enemies/enemy_manager.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"
#include "platform/debug_output.h"

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
  // Whole-program runs read what the player was told.
  OutputDebugString(("korvane: message: " + rest + "\n").c_str());
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
  const bool accomplished = !g_NextMissionArchive.IsEmpty();
  if (IsCustomCameraActive()) {
    DrawLetterbox();
    if (!accomplished) return;
  }
  if (accomplished) {
    DrawMissionAccomplished();
    return;
  }
  if (hudOff_) return;
  DrawHudPanel();
  DrawMessageLog();
  DrawRadar();
  DrawShipStatus();
  if (countdownMs_ >= 0 && g_pInterface) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", countdownMs_ / 1000);
    g_pInterface->GetHudFont().DrawText(text, 2, 2, false);
    if (view_) view_->AddDirtyRect(1, 1, 43, 19);
  }
  if (IsNetworkGame()) DrawScoreboardAndChat();
  DrawShieldAndHealth();
}

void CNetDoc::DrawLetterbox() {
  int width = 0, bar = 0, height = 0;
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    width = access.Width();
    height = access.Height();
    bar = height / 6;
    access.FillRect(0, 0, width, bar, g_BlackColour);
    access.FillRect(0, height - bar, width, height, g_BlackColour);
  }
  if (view_) {
    view_->AddDirtyRect(0, 0, static_cast<float>(width), static_cast<float>(bar));
    view_->AddDirtyRect(0, static_cast<float>(height - bar), static_cast<float>(width), static_cast<float>(height));
  }
}

void CNetDoc::DrawMissionAccomplished() {
  CBitmapFont& font = GetLargeFont();
  // The 2-D layer reaches the screen only through recorded rectangles, and
  // under the texts it still holds the last frame's HUD: each text goes onto
  // a black box of its own, recorded.
  auto show = [&](const char* text, int x, int y) {
    const int right = x + static_cast<int>(std::strlen(text)) * font.GetGlyphWidth();
    const int bottom = y + font.GetGlyphHeight();
    {
      CBackBufferAccess access;
      if (!access.Bits()) return;
      access.FillRect(x, y, right, bottom, g_BlackColour);
    }
    font.DrawText(text, x, y, true);
    if (view_) view_->AddDirtyRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(right),
                                   static_cast<float>(bottom));
  };
  show("mission accomplished...", 100, 20);
  if (IsNetworkGame()) return;
  char text[64];
  if (g_pEnemyManager) {
    int total = 0, killed = 0;
    g_pEnemyManager->GetCounts(&total, &killed);
    std::snprintf(text, sizeof text, "Total enemies =%4d,  killed =%4d  ", total, killed);
    show(text, 240, 440);
  }
  const int seconds = missionTime_ / 1000;
  std::snprintf(text, sizeof text, "game time %02d:%02d:%02d  ", seconds / 3600, (seconds / 60) % 60, seconds % 60);
  show(text, 10, 440);
}

void CNetDoc::DrawScoreboardAndChat() {
  const HudLayoutPositions& at = HudPositions(CurrentHudLayout());
  const int x = at.scoreX, y = at.scoreY, lines = at.scoreLines, width = at.scoreWidth;
  CString scores[10];
  GetScoreLines(scores, lines);
  CBitmapFont& font = *GetTextRenderer();
  for (int i = 0; i < lines; ++i) {
    // Padded and cut to the board's width, so a shorter line covers a
    // longer one of the frame before.
    const CString line = (scores[i] + CString(' ', 29)).Left(width);
    font.DrawText(line, x, y + 8 * i, false);
  }
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(x - 2), static_cast<float>(y + 8 * lines - 50),
                        static_cast<float>(x + 2 + 6 * width), static_cast<float>(y + 8 * lines + 2));
  }
  if (console_) {
    console_->Draw(false);
    console_->MarkDirty();
  }
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
  if (hudRedraw_[kHudRedrawMessages] <= 0) return;
  --hudRedraw_[kHudRedrawMessages];

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
