#include "media/bitmap_font.h"

#include <algorithm>
#include <cstring>

#include "engine/records.h"
#include "media/back_buffer_access.h"
#include "media/bmp_member.h"
#include "media/interface_display.h"
#include "media/media_services.h"

namespace {

constexpr const char* kSource = "picture";
constexpr int kGlyphCount = 65;

// Missing, file header, not "BM", header, pixels, not 8-bit (or too narrow).
constexpr BmpFatalLines kLines = {592, 598, 603, 611, 626, 616};

}  // namespace

void CBitmapFont::Load(const char* file, const char* archive) {
  const char* from = archive && *archive ? archive : MediaMissionArchive();
  sheet_.clear();
  sheetWidth_ = rowBytes_ = 0;
  BmpMember member;
  const BmpMemberStatus status = BmpMemberLoad(from, file, &member);
  if (status != BmpMemberStatus::Loaded) MediaFatalError(kSource, BmpFatalLine(kLines, status, member.fault));
  if (member.image.width < kGlyphCount * glyphWidth_) MediaFatalError(kSource, 616);
  glyphHeight_ = member.image.height;
  sheetWidth_ = member.image.width;
  rowBytes_ = member.image.rowBytes;
  sheet_.assign(member.Pixels(), member.Pixels() + member.image.pixelBytes);
}

int CBitmapFont::GlyphIndex(char character) {
  const int code = static_cast<unsigned char>(character);
  const int index = code >= 'a' && code <= 'z' ? code - 64 : code - 32;
  return index >= 0 && index < kGlyphCount ? index : 0;
}

void CBitmapFont::DrawText(const char* text, int x, int y, bool transparent) {
  Write(text, x, y, transparent ? Ink::Keyed : Ink::Copy, 0);
}

void CBitmapFont::DrawTextColour(const char* text, int x, int y, unsigned char colour) {
  Write(text, x, y, Ink::Colour, colour);
}

void CBitmapFont::Write(const char* text, int x, int y, Ink ink, unsigned char colour) {
  if (!text || sheet_.empty()) return;
  CBackBufferAccess access;
  if (!access.Bits()) return;
  const int64_t length = static_cast<int64_t>(std::strlen(text));
  // The glyph rows inside the target (64-bit: no position overflows).
  const int64_t firstRow = std::max<int64_t>(0, -int64_t{y});
  const int64_t lastRow = std::min<int64_t>(glyphHeight_, int64_t{access.Height()} - y);
  int64_t cursor = x;
  for (int64_t i = 0; i < length; ++i) {
    const int64_t glyphLeft = cursor;
    cursor += glyphWidth_;
    if (cursor >= access.Width()) break;
    const int cell = GlyphIndex(text[i]) * glyphWidth_;
    // The glyph's columns inside the target and inside the sheet (a width
    // set after loading may ask for more than the sheet has).
    const int64_t firstColumn = std::max<int64_t>(0, -glyphLeft);
    const int64_t lastColumn = std::min<int64_t>(glyphWidth_, sheetWidth_ - cell);
    for (int64_t row = firstRow; row < lastRow; ++row) {
      const uint8_t* source = sheet_.data() + static_cast<size_t>(glyphHeight_ - 1 - row) * rowBytes_ + cell;
      uint8_t* targetRow = access.Bits() + static_cast<ptrdiff_t>(y + row) * access.Pitch();
      for (int64_t column = firstColumn; column < lastColumn; ++column) {
        const uint8_t pixel = source[column];
        uint8_t& target = targetRow[glyphLeft + column];
        if (ink == Ink::Copy) {
          target = pixel;
        } else if (pixel != kPictureColourKey) {
          target = ink == Ink::Colour ? colour : pixel;
        }
      }
    }
  }
  // The whole text's rectangle, as far as it lies on the target.
  if (CInterfaceDisplay* display = InterfaceDisplay()) {
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + length * glyphWidth_, access.Width());
    const int64_t bottom = std::min<int64_t>(int64_t{y} + glyphHeight_, access.Height());
    if (left < right && top < bottom) {
      display->BlitRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                        static_cast<int>(bottom - top));
    }
  }
}
