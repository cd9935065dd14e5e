// Frame conversions, fitting and recording shared by the display back ends.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/debug_output.h"
#include "platform/display.h"
#include "platform/process_services.h"

namespace {

void PaletteToXrgb(const Rgb8* palette, uint32_t table[256]) {
  for (int i = 0; i < 256; ++i) {
    const Rgb8 c = palette ? palette[i] : Rgb8{};
    table[i] = (static_cast<uint32_t>(c.r) << 16) | (static_cast<uint32_t>(c.g) << 8) | c.b;
  }
}

}  // namespace

void DisplayImageToXrgb(const DisplayImage& image, uint32_t* out, int outPitch) {
  const int bytes = image.layout.BytesPerPixel();
  uint32_t table[256];
  if (image.layout.Indexed()) PaletteToXrgb(image.palette, table);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels + static_cast<ptrdiff_t>(y) * image.pitch;
    uint32_t* dst = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<ptrdiff_t>(y) * outPitch);
    if (image.layout.Indexed()) {
      for (int x = 0; x < image.width; ++x) dst[x] = table[row[x]];
      continue;
    }
    for (int x = 0; x < image.width; ++x) {
      const Rgb8 c = PixelToRgb(PixelLoad(row + x * bytes, bytes), image.layout);
      dst[x] = (static_cast<uint32_t>(c.r) << 16) | (static_cast<uint32_t>(c.g) << 8) | c.b;
    }
  }
}

void DisplayImageToRgb(const DisplayImage& image, RgbFrame* frame) {
  frame->width = image.width;
  frame->height = image.height;
  frame->rgb.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3, 0);
  const int bytes = image.layout.BytesPerPixel();
  uint8_t* dst = frame->rgb.data();
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels + static_cast<ptrdiff_t>(y) * image.pitch;
    for (int x = 0; x < image.width; ++x, dst += 3) {
      const Rgb8 c = image.layout.Indexed() ? (image.palette ? image.palette[row[x]] : Rgb8{})
                                            : PixelToRgb(PixelLoad(row + x * bytes, bytes), image.layout);
      dst[0] = c.r;
      dst[1] = c.g;
      dst[2] = c.b;
    }
  }
}

DisplayRect DisplayFitRect(int frameWidth, int frameHeight, int targetWidth, int targetHeight) {
  if (frameWidth <= 0 || frameHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) return DisplayRect{};
  DisplayRect r;
  // Compare the two aspect ratios exactly in 64 bits.
  if (static_cast<int64_t>(targetWidth) * frameHeight <= static_cast<int64_t>(targetHeight) * frameWidth) {
    r.width = targetWidth;
    r.height = static_cast<int>(static_cast<int64_t>(targetWidth) * frameHeight / frameWidth);
  } else {
    r.height = targetHeight;
    r.width = static_cast<int>(static_cast<int64_t>(targetHeight) * frameWidth / frameHeight);
  }
  r.x = (targetWidth - r.width) / 2;
  r.y = (targetHeight - r.height) / 2;
  return r;
}

bool RgbFrameWritePng(const RgbFrame& frame, const char* path) {
  FILE* file = std::fopen(path, "wb");
  if (!file) {
    OutputDebugString((std::string("korvane: can't write frame ") + path + "\n").c_str());
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  // volatile: read after a longjmp from libpng's error handler.
  volatile bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width), static_cast<png_uint_32>(frame.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);  // frames are written often; size matters less than time
    png_write_info(png, info);
    for (int y = 0; y < frame.height; ++y)
      png_write_row(png, frame.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.width) * 3);
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) OutputDebugString((std::string("korvane: failed writing frame ") + path + "\n").c_str());
  return ok;
}

bool DisplayFrameRecordPath(uint64_t count, std::string* path) {
  const char* folder = std::getenv("KORVANE_FRAME_DIR");
  if (!folder || !*folder) return false;
  long every = 1;
  if (const char* text = std::getenv("KORVANE_FRAME_EVERY")) every = std::max(1L, std::strtol(text, nullptr, 10));
  if (count == 0 || (count - 1) % static_cast<uint64_t>(every) != 0) return false;
  if (!FolderCreate(folder)) return false;
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(count));
  *path = std::string(folder) + name;
  return true;
}
