// Looks at the frames a whole-program run wrote (KORVANE_FRAME_DIR) and
// checks that the player saw a picture:
//   frame_check <folder> <r,g,b> [--letterboxed]
// passes (exit code 0) when some frame shows the colour (within 8 per
// channel) on at least 90% of the 640x480 picture's area; with --letterboxed
// the frame is a window of any size, the picture scaled into it with its
// aspect ratio kept, and everything outside it must be black. It says what it
// found on stdout.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/display.h"
#include "tests/support/png_file.h"

namespace {

bool Near(Rgb8 a, Rgb8 b) { return std::abs(a.r - b.r) <= 8 && std::abs(a.g - b.g) <= 8 && std::abs(a.b - b.b) <= 8; }

// The share of the picture's area showing the colour, and whether the bars
// around it are black.
void Measure(const RgbFrame& frame, Rgb8 colour, bool letterboxed, double* share, bool* barsBlack) {
  const DisplayRect fit =
      letterboxed ? DisplayFitRect(640, 480, frame.width, frame.height) : DisplayRect{0, 0, frame.width, frame.height};
  long inside = 0, matching = 0;
  *barsBlack = true;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const Rgb8 c = frame.At(x, y);
      // A pixel or two at the picture's edge blends with the bars.
      const bool in = x >= fit.x + 2 && x < fit.x + fit.width - 2 && y >= fit.y + 2 && y < fit.y + fit.height - 2;
      const bool out = x < fit.x - 1 || x > fit.x + fit.width || y < fit.y - 1 || y > fit.y + fit.height;
      if (in) {
        ++inside;
        if (Near(c, colour)) ++matching;
      } else if (out && !Near(c, Rgb8{0, 0, 0})) {
        *barsBlack = false;
      }
    }
  }
  *share = inside ? static_cast<double>(matching) / static_cast<double>(inside) : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned r = 0, g = 0, b = 0;
  if (argc < 3 || std::sscanf(argv[2], "%u,%u,%u", &r, &g, &b) != 3) {
    std::fprintf(stderr, "usage: frame_check <folder> <r,g,b> [--letterboxed]\n");
    return 2;
  }
  const bool letterboxed = argc > 3 && std::strcmp(argv[3], "--letterboxed") == 0;
  const Rgb8 colour{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
  const auto files = PngFilesIn(argv[1]);
  if (files.empty()) {
    std::printf("frame_check: no frames in %s\n", argv[1]);
    return 1;
  }
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame)) {
      std::printf("frame_check: %s is not a PNG\n", file.c_str());
      return 1;
    }
    double share = 0;
    bool barsBlack = true;
    Measure(frame, colour, letterboxed, &share, &barsBlack);
    std::printf("frame_check: %s %dx%d: %.0f%% of the picture shows %u,%u,%u%s\n", file.c_str(), frame.width,
                frame.height, share * 100, r, g, b, letterboxed ? (barsBlack ? ", black bars" : ", bars not black") : "");
    if (share >= 0.9 && barsBlack) return 0;
  }
  std::printf("frame_check: no frame of %zu shows the picture\n", files.size());
  return 1;
}
