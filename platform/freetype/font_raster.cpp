#include "platform/font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

class FreeTypeRaster final : public FontRaster {
 public:
  ~FreeTypeRaster() override {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }

  bool Open(const std::string& path, int pixelHeight) {
    if (FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      return false;
    }
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
      face_ = nullptr;
      return false;
    }
    return FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelHeight)) == 0;
  }

  bool Render(char32_t character, bool monochrome, GlyphMask* glyph) override {
    const FT_Int32 flags = FT_LOAD_RENDER | (monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Char(face_, character, flags) != 0) return false;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph->width = static_cast<int>(bitmap.width);
    glyph->height = static_cast<int>(bitmap.rows);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->coverage.assign(static_cast<size_t>(glyph->width) * glyph->height, 0);
    for (int y = 0; y < glyph->height; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int x = 0; x < glyph->width; ++x) {
        uint8_t value;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
          value = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
          value = row[x];
        } else {
          return false;
        }
        glyph->coverage[static_cast<size_t>(y) * glyph->width + x] = value;
      }
    }
    return true;
  }

  int Ascender() const override { return static_cast<int>((face_->size->metrics.ascender + 32) >> 6); }
  int Descender() const override { return static_cast<int>((-face_->size->metrics.descender + 32) >> 6); }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace

std::unique_ptr<FontRaster> FontRaster::Open(const std::string& path, int pixelHeight) {
  auto raster = std::make_unique<FreeTypeRaster>();
  if (pixelHeight < 1 || !raster->Open(path, pixelHeight)) return nullptr;
  return raster;
}
