#include "media/text_box.h"

#include "media/interface_display.h"
#include "media/rect8.h"

namespace {
constexpr int kGlyphWidth = 8;
constexpr unsigned char kFrameColour = 237;
}  // namespace

CTextBox::CTextBox(int x, int y, CString text) : CChoiceWidget(x, y), font_(std::make_unique<CBitmapFont>()) {
  texts_[0] = text;
  font_->SetGlyphWidth(kGlyphWidth);
  font_->Load("FONT_MD.BMP", "INTERFC.CAN");
  right_ = x + kGlyphWidth * text.GetLength();
  bottom_ = y + font_->GetGlyphHeight();
}

void CTextBox::AddText(CString text) {
  if (count_ < kMaxTexts) texts_[count_++] = text;
}

void CTextBox::Draw() {
  font_->DrawText(texts_[current_], left_, top_, false);
  FrameRect8(left_ - 1, top_ - 1, right_ + 1, bottom_ + 1, HitTest() ? kFrameColour : g_BlackColour);
}
