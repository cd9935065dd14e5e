#include "tools/builder/picture_text.h"

#include <algorithm>

std::string TypefacePath(Typeface face) {
  const std::string folder = KORVANE_DEJAVU_FOLDER;
  return folder + (face == Typeface::Sans ? "/DejaVuSans-Bold.ttf" : "/DejaVuSansMono-Bold.ttf");
}

std::unique_ptr<TextPainter> TextPainter::Open(Typeface face, int pixelHeight, bool monochrome) {
  std::unique_ptr<FontRaster> raster = FontRaster::Open(TypefacePath(face), pixelHeight);
  if (!raster) return nullptr;
  return std::unique_ptr<TextPainter>(new TextPainter(std::move(raster), monochrome));
}

const GlyphMask* TextPainter::Glyph(char32_t character) {
  auto found = glyphs_.find(character);
  if (found == glyphs_.end()) {
    GlyphMask glyph;
    if (!raster_->Render(character, monochrome_, &glyph)) return nullptr;
    found = glyphs_.emplace(character, std::move(glyph)).first;
  }
  return &found->second;
}

int TextPainter::CapHeight() {
  if (capHeight_ < 0) {
    const GlyphMask* h = Glyph(U'H');
    capHeight_ = h ? h->top : Ascender();
  }
  return capHeight_;
}

int TextPainter::Measure(std::string_view text) {
  int width = 0;
  for (char c : text) {
    if (const GlyphMask* glyph = Glyph(static_cast<unsigned char>(c))) width += glyph->advance;
  }
  return width;
}

void TextPainter::Stamp(PictureCanvas* canvas, int x, int y, std::string_view text, int dx, int dy, Rgb colour,
                        float capTop, float capBottom, const TextStyle* gradient) {
  int pen = x;
  for (char c : text) {
    const GlyphMask* glyph = Glyph(static_cast<unsigned char>(c));
    if (!glyph) continue;
    for (int gy = 0; gy < glyph->height; ++gy) {
      const int py = y - glyph->top + gy;
      Rgb ink = colour;
      if (gradient) {
        const float t = std::clamp((py - capTop) / std::max(1.0f, capBottom - capTop), 0.0f, 1.0f);
        ink = Mix(gradient->top, gradient->bottom, t);
      }
      for (int gx = 0; gx < glyph->width; ++gx) {
        const uint8_t cover = glyph->coverage[static_cast<size_t>(gy) * glyph->width + gx];
        if (cover) canvas->Blend(pen + glyph->left + gx + dx, py + dy, ink, cover / 255.0f);
      }
    }
    pen += glyph->advance;
  }
}

int TextPainter::Draw(PictureCanvas* canvas, int x, int y, std::string_view text, const TextStyle& style) {
  const float capTop = static_cast<float>(y - CapHeight());
  const float capBottom = static_cast<float>(y);
  if (style.outline) {
    for (int oy = -1; oy <= 1; ++oy)
      for (int ox = -1; ox <= 1; ++ox)
        if (ox || oy) Stamp(canvas, x, y, text, ox, oy, style.outlineColour, capTop, capBottom, nullptr);
  }
  if (style.shadow) {
    Stamp(canvas, x, y, text, style.shadowOffset, style.shadowOffset, style.shadowColour, capTop, capBottom, nullptr);
  }
  Stamp(canvas, x, y, text, 0, 0, style.top, capTop, capBottom, &style);
  return x + Measure(text);
}

void TextPainter::DrawCentred(PictureCanvas* canvas, int x, int y, std::string_view text, const TextStyle& style) {
  Draw(canvas, x - Measure(text) / 2, y, text, style);
}
