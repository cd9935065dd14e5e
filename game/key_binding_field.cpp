// The key-binding screen's fields and the ship screen's style pickers.
#include "game/key_codes.h"
#include "game/menu_widgets.h"
#include "media/interface_display.h"
#include "media/rect8.h"

namespace {
constexpr unsigned char kChosenColour = 237;
constexpr unsigned char kSelectedColour = 146;
}  // namespace

CKeyBindingField::CKeyBindingField(int x, int y, CBitmapFont* font) : x_(x), y_(y), font_(font) {}

void CKeyBindingField::SetKey(int code) {
  code_ = KeyCodeForBinding(code);
  text_ = KeyFieldText(code_);
  textChanged_ = 1;
}

bool CKeyBindingField::HitTest(int x, int y) const {
  const int width = font_ ? font_->GetGlyphWidth() : 8;
  const int height = font_ ? font_->GetGlyphHeight() : 8;
  return x >= x_ && x <= x_ + text_.GetLength() * width && y >= y_ && y <= y_ + height;
}

void CKeyBindingField::Draw(bool force) {
  if (!font_) return;
  if (textChanged_ || force) {
    font_->DrawText(text_, x_, y_, false);
    textChanged_ = 0;
  }
  const uint8_t style = static_cast<uint8_t>((selected_ ? 1 : 0) | (hot_ ? 2 : 0));
  if (style == drawnStyle_ && !force) return;
  const unsigned char colour = selected_ ? kSelectedColour : hot_ ? kChosenColour : g_BlackColour;
  FrameRect8(x_ - 1, y_ - 1, x_ + 1 + text_.GetLength() * font_->GetGlyphWidth(), y_ + 1 + font_->GetGlyphHeight(),
             colour);
  drawnStyle_ = style;
}

CStylePicker::CStylePicker(int x, int y, int cellWidth, int cellHeight, int step, int count)
    : x_(x), y_(y), cellWidth_(cellWidth), cellHeight_(cellHeight), step_(step), count_(count) {}

bool CStylePicker::Update(bool mouseDown) {
  if (mouseDown) {
    for (int i = 0; i < count_; ++i) {
      const int left = i * step_;
      if (mouseX_ >= left && mouseX_ <= left + cellWidth_ && mouseY_ >= 0 && mouseY_ <= cellHeight_) {
        chosen_ = i;
        Draw();
        return true;
      }
    }
  }
  Draw();
  return false;
}

void CStylePicker::Draw() {
  for (int i = 0; i < count_; ++i) {
    const int left = x_ + i * step_;
    const int right = left + cellWidth_;
    const int bottom = y_ + cellHeight_;
    const unsigned char colour = i == chosen_ ? kChosenColour : g_BlackColour;
    FrameRect8(left - 1, y_ - 1, right + 1, bottom + 1, colour);
    FrameRect8(left - 2, y_ - 2, right + 2, bottom + 2, colour);
  }
}
