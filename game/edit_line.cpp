// The menus' one-line text input with its blinking cursor.
#include "game/menu_widgets.h"

#include <algorithm>

#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/clock.h"

namespace {

constexpr char kCursor = '_';
constexpr DWORD kBlinkMs = 300;
constexpr int kVkBack = 8;
constexpr int kVkDelete = 46;

}  // namespace

CBitmapFont& MenuSmallFont() {
  if (g_pNetDoc) return *g_pNetDoc->GetTextRenderer();
  static CBitmapFont font;
  static bool loaded = false;
  if (!loaded) {
    font.SetGlyphWidth(6);
    font.Load("FONT_SM.BMP", "INTERFC.CAN");
    loaded = true;
  }
  return font;
}

CEditLine::CEditLine(int x, int y, int length, CBitmapFont* font)
    : text_(' ', std::max(length, 1)), x_(x), y_(y), lastIndex_(std::max(length, 1) - 1), font_(font),
      blinkTime_(timeGetTime()) {
  text_.SetAt(0, kCursor);
}

CBitmapFont* CEditLine::Font() const { return font_ ? font_ : &MenuSmallFont(); }

void CEditLine::Draw(bool hideCursor) {
  const DWORD now = timeGetTime();
  if (now - blinkTime_ > kBlinkMs) {
    blinkTime_ = now;
    if (cursor_ >= 0 && cursor_ <= lastIndex_) text_.SetAt(cursor_, text_[cursor_] == kCursor ? ' ' : kCursor);
  }
  if (hideCursor && cursor_ >= 0 && cursor_ <= lastIndex_) text_.SetAt(cursor_, ' ');
  Font()->DrawText(text_, x_, y_, false);
}

void CEditLine::OnBackspace(int virtualKey) {
  if (virtualKey != kVkBack && virtualKey != kVkDelete) return;
  if (cursor_ <= 0) return;
  text_.SetAt(cursor_, ' ');
  --cursor_;
  text_.SetAt(cursor_, kCursor);
  blinkTime_ = timeGetTime();
}

void CEditLine::OnChar(int character) {
  if (character >= 'a' && character <= 'z') character -= 'a' - 'A';
  if (character < 32 || character >= 96) return;
  if (cursor_ >= lastIndex_) return;
  text_.SetAt(cursor_, static_cast<char>(character));
  ++cursor_;
  text_.SetAt(cursor_, kCursor);
  blinkTime_ = timeGetTime();
}

void CEditLine::SetText(const char* s) {
  // At most length - 1 characters, so that the cursor keeps its cell.
  CString typed = CString(s ? s : "").Left(lastIndex_);
  cursor_ = typed.GetLength();
  typed += kCursor;
  while (typed.GetLength() <= lastIndex_) typed += ' ';
  text_ = typed;
  blinkTime_ = timeGetTime();
}

CString CEditLine::GetText() const { return text_.Left(cursor_); }

void CEditLine::MarkDirty() {
  CNetView* view = g_pNetDoc ? g_pNetDoc->GetView() : nullptr;
  if (!view) return;
  const CBitmapFont* font = Font();
  view->AddDirtyRect(static_cast<float>(x_ - 1), static_cast<float>(y_ - 1),
                     static_cast<float>(x_ + 1 + text_.GetLength() * font->GetGlyphWidth()),
                     static_cast<float>(y_ + 1 + font->GetGlyphHeight()));
}
