#pragma once
// A text-choice box of the menus (the option cycles: translucency, smoke,
// particles ...): up to 32 texts of which one shows, drawn opaque in
// "FONT_MD.BMP" (8-pixel cells) at its place, framed in colour 237 while the
// mouse is on it and with the frame erased (g_BlackColour) otherwise. Its
// rectangle is 8 pixels a character of its first text wide and a glyph high.
#include <memory>

#include "media/bitmap_font.h"
#include "media/choice_widget.h"
#include "platform/framework/cstring.h"

class CTextBox : public CChoiceWidget {
 public:
  static constexpr int kMaxTexts = 32;

  // Loads its own font; text is the first choice.
  CTextBox(int x, int y, CString text);

  // Appends a choice while fewer than 32 are held.
  void AddText(CString text);
  void Draw() override;

 private:
  int ChoiceCount() const override { return count_; }

  int count_ = 1;
  CString texts_[kMaxTexts];
  std::unique_ptr<CBitmapFont> font_;
};
