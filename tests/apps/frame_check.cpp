// Looks at the frames a whole-program run wrote (KORVANE_FRAME_DIR) and
// checks that the player saw a picture:
//   frame_check <folder> (--picture <archive> <member> [--at <x>,<y>] | <r,g,b>)... [--letterboxed]
//               [--share <percent>]
//   frame_check <folder> (--game <width>x<height> | --cockpit <bmp file>)...
// It passes (exit code 0) when, for each picture asked for, some frame shows
// the 640x480 picture on 90% (or --share percent) of its pixels: the 8-bit
// BMP member through its own colours (each channel within 12), or one colour
// (within 8). With --letterboxed a frame is a
// window of any size with the picture scaled into it, aspect kept (within
// 20, as scaling blends neighbours), and everything outside it must be
// black. A picture with --at is a part of the screen (a briefing page's
// picture in its frame): some frame must show it there, on the share of
// its own pixels, whatever the rest of the screen shows. With --game it
// passes when some frame of that size shows a game frame: a drawn scene
// (at least 16 colours) with korvanesw's green crosshair arm left of the
// centre. With --cockpit it passes when some
// 640x480 frame shows the cockpit picture of that file over a drawn scene
// with the green crosshair in the 3-D band (either program's).
//   frame_check <folder> --level <count>
// passes when at least count frames show a rendered level rather than a
// picture of the menus: more than 20 colours over the screen and a lit
// quarter, and no two of those frames alike (the view moved).
//   frame_check <folder> --script-camera
// passes when at least three frames, each unlike the last, show a level
// between black bars over the top and bottom sixth of the screen (a script
// camera), and at least three later frames show the level without them.
//   frame_check <folder> --changes <left,top,right,bottom> <count>
// passes when the rectangle's pixels change (a tenth of them or more) while
// the rest of the screen stays (all but 2 %) at least count times from one
// frame to the next: something in that place of a still view appeared and
// went.
//   frame_check <folder> (--text <archive> <font member> <glyph width> <x>,<y> <text>)...
// passes when, for each text, some 640x480 frame shows it drawn with that
// font sheet (an 8-bit BMP of glyph cells from character 32 on) on a black
// box at (x, y): every glyph cell's pixels (within 24 of the sheet's
// colours, black where the sheet has its colour key) on 90% of the cell, so
// that one wrong digit fails.
//   frame_check <folder> --returns <archive> <member>...
// passes when the view comes back: the last level frame before a stretch
// of other frames (the menus over a save: frames showing one of the
// members' pictures on half their pixels or more, or no level, as the
// fades between) is shown again, all but 10 % of
// it alike, among the first eight level frames after a later stretch (a
// load), while the last level frame before that later stretch is unlike it
// on 30 % or more (the game went on elsewhere).
// It says what it found on stdout.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/bmp_image.h"
#include "engine/records.h"
#include "media/bmp_member.h"
#include "platform/display.h"
#include "tests/support/png_file.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

bool Near(Rgb8 a, Rgb8 b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// The picture the player should see, 640x480 (black past a smaller one),
// with its top left corner at (left, top); *area, when asked for, is where
// it lies.
bool ExpectedFromMember(const char* archive, const char* member, RgbFrame* expected, int left = 0, int top = 0,
                        DisplayRect* area = nullptr) {
  BmpMember bmp;
  if (BmpMemberLoad(archive, member, &bmp) != BmpMemberStatus::Loaded) return false;
  expected->width = kWidth;
  expected->height = kHeight;
  expected->rgb.assign(kWidth * kHeight * 3, 0);
  const int width = std::min(kWidth - left, bmp.image.width);
  const int height = std::min(kHeight - top, bmp.image.height);
  if (area) *area = {left, top, width, height};
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bmp.Pixels() + static_cast<size_t>(bmp.image.height - 1 - y) * bmp.image.rowBytes;
    for (int x = 0; x < width; ++x) {
      const int index = row[x] < bmp.image.colourCount ? row[x] : 0;
      const uint8_t* c = bmp.Colour(index);
      uint8_t* out = &expected->rgb[(static_cast<size_t>(y + top) * kWidth + x + left) * 3];
      out[0] = c[2];
      out[1] = c[1];
      out[2] = c[0];
    }
  }
  return true;
}

// The share of the picture's area that shows what it should, and whether
// the bars around it are black. Unless letterboxed, only the pixels of
// area count (the whole screen when none is given).
double Measure(const RgbFrame& frame, const RgbFrame& expected, bool letterboxed, int tolerance, bool* barsBlack,
               const DisplayRect& area = {0, 0, kWidth, kHeight}) {
  const DisplayRect fit =
      letterboxed ? DisplayFitRect(kWidth, kHeight, frame.width, frame.height) : DisplayRect{0, 0, kWidth, kHeight};
  long inside = 0, matching = 0;
  *barsBlack = true;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (!letterboxed && (x < area.x || x >= area.x + area.width || y < area.y || y >= area.y + area.height))
        continue;
      const Rgb8 c = frame.At(x, y);
      // A pixel or two at the picture's edge blends with the bars.
      const bool in = x >= fit.x + 2 && x < fit.x + fit.width - 2 && y >= fit.y + 2 && y < fit.y + fit.height - 2;
      const bool out = x < fit.x - 1 || x > fit.x + fit.width || y < fit.y - 1 || y > fit.y + fit.height;
      if (in) {
        ++inside;
        const int sx = static_cast<int>(static_cast<long>(x - fit.x) * kWidth / fit.width);
        const int sy = static_cast<int>(static_cast<long>(y - fit.y) * kHeight / fit.height);
        if (Near(c, expected.At(sx, sy), tolerance)) ++matching;
      } else if (out && !Near(c, Rgb8{0, 0, 0}, 8)) {
        *barsBlack = false;
      }
    }
  }
  return inside ? static_cast<double>(matching) / static_cast<double>(inside) : 0.0;
}

// A game frame at that size: korvanesw's crosshair arm left of the centre
// (reach 10, arm 5 at 500 pixels and wider; reach 6, arm 3 below) in green,
// over a scene of many colours.
int CheckGameFrames(const char* folder, const char* size) {
  int width = 0, height = 0;
  if (std::sscanf(size, "%dx%d", &width, &height) != 2) return 2;
  const int reach = width >= 500 ? 10 : 6;
  const auto files = PngFilesIn(folder);
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != width || frame.height != height) continue;
    std::vector<uint32_t> colours;
    for (size_t i = 0; i + 2 < frame.rgb.size() && colours.size() < 16; i += 3) {
      const uint32_t c = uint32_t(frame.rgb[i]) << 16 | uint32_t(frame.rgb[i + 1]) << 8 | frame.rgb[i + 2];
      if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
    }
    const Rgb8 arm = frame.At(width / 2 - reach + 2, height / 2);
    const bool green = arm.g >= 150 && arm.r <= 60 && arm.b <= 60;
    std::printf("frame_check: %s %dx%d: %zu+ colours, crosshair %s\n", file.c_str(), frame.width, frame.height,
                colours.size(), green ? "green" : "missing");
    if (green && colours.size() >= 16) return 0;
  }
  std::printf("frame_check: no %s game frame among %zu frames\n", size, files.size());
  return 1;
}

// A frame of a rendered level: many colours and a lit quarter of the
// screen (sampled every 4 pixels).
bool ShowsALevel(const RgbFrame& frame) {
  std::set<int> colours;
  long lit = 0, samples = 0;
  for (int y = 0; y < frame.height; y += 4) {
    for (int x = 0; x < frame.width; x += 4) {
      const Rgb8 c = frame.At(x, y);
      colours.insert(c.r << 16 | c.g << 8 | c.b);
      if (c.r + c.g + c.b > 30) ++lit;
      ++samples;
    }
  }
  return colours.size() > 20 && lit * 4 > samples;
}

// The share of the rectangle's pixels that differ between two frames.
double RegionDifference(const RgbFrame& a, const RgbFrame& b, int left, int top, int right, int bottom) {
  long differ = 0, total = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      ++total;
      if (!Near(a.At(x, y), b.At(x, y), 8)) ++differ;
    }
  }
  return total ? static_cast<double>(differ) / static_cast<double>(total) : 0.0;
}

int CheckLevel(const std::vector<std::string>& files, int needed) {
  int found = 0;
  RgbFrame last;
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    if (!ShowsALevel(frame)) continue;
    if (found > 0 && RegionDifference(frame, last, 0, 0, kWidth, kHeight) == 0.0) continue;
    ++found;
    last = std::move(frame);
  }
  std::printf("frame_check: %d of %zu frames show a level, each unlike the last\n", found, files.size());
  return found >= needed ? 0 : 1;
}

int CheckChanges(const std::vector<std::string>& files, const char* rect, int needed) {
  int left = 0, top = 0, right = 0, bottom = 0;
  if (std::sscanf(rect, "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4 || left < 0 || top < 0 ||
      right > kWidth || bottom > kHeight || left >= right || top >= bottom) {
    std::printf("frame_check: bad rectangle %s\n", rect);
    return 2;
  }
  int changes = 0;
  RgbFrame previous;
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    // Only the rectangle may change: a new screen or a moving view is no
    // change of the thing in it.
    const double area = static_cast<double>((right - left) * (bottom - top));
    const double inside = previous.width ? RegionDifference(previous, frame, left, top, right, bottom) : 0.0;
    const double whole = previous.width ? RegionDifference(previous, frame, 0, 0, kWidth, kHeight) : 0.0;
    const double outside = (whole * kWidth * kHeight - inside * area) / (kWidth * kHeight - area);
    if (inside >= 0.1 && outside < 0.02) {
      ++changes;
      std::printf("frame_check: %s changes in %s\n", file.c_str(), rect);
    }
    previous = std::move(frame);
  }
  std::printf("frame_check: %d changes in %s over %zu frames\n", changes, rect, files.size());
  return changes >= needed ? 0 : 1;
}

// A script camera's frame: black bars over the top and bottom sixth (as
// the HUD draws them) and a rendered level between them.
bool Letterboxed(const RgbFrame& frame) {
  const int bar = frame.height / 6;
  for (int y = 0; y < frame.height; ++y) {
    if (y >= bar && y < frame.height - bar) continue;
    for (int x = 0; x < frame.width; ++x) {
      if (!Near(frame.At(x, y), Rgb8{0, 0, 0}, 8)) return false;
    }
  }
  std::set<int> colours;
  for (int y = bar; y < frame.height - bar; y += 4) {
    for (int x = 0; x < frame.width; x += 4) {
      const Rgb8 c = frame.At(x, y);
      colours.insert(c.r << 16 | c.g << 8 | c.b);
    }
  }
  return colours.size() > 20;
}

// Frames of the script camera (letterboxed, the view moving between them),
// then the player's own view of the level without the bars.
int CheckScriptCamera(const std::vector<std::string>& files) {
  int camera = 0, after = 0;
  RgbFrame lastCamera;
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    if (Letterboxed(frame)) {
      // Three frames of the player's view settle it: korvanesw's closing
      // fold, dark above and below, comes later and is no camera.
      if (after >= 3) break;
      if (after > 0) {
        std::printf("frame_check: %s is letterboxed after the player's view\n", file.c_str());
        return 1;
      }
      if (camera == 0 || RegionDifference(frame, lastCamera, 0, 0, kWidth, kHeight) > 0.1) {
        ++camera;
        std::printf("frame_check: %s: script camera\n", file.c_str());
      }
      lastCamera = std::move(frame);
    } else if (camera >= 3 && ShowsALevel(frame)) {
      ++after;
    } else if (after == 0) {
      // A picture of the menus with dark edges is no camera.
      camera = 0;
    }
  }
  std::printf("frame_check: %d moving script camera frames, then %d frames of the player's view, of %zu\n", camera,
              after, files.size());
  return camera >= 3 && after >= 3 ? 0 : 1;
}

// A text of a font sheet on a black box, as the 640x480 frame should show
// it: the colours of the box's pixels, cell by cell.
struct ExpectedText {
  std::string text;
  int x = 0, y = 0, glyphWidth = 0, glyphHeight = 0;
  std::vector<Rgb8> pixels;  // row by row over the box
};

bool ExpectedTextFromFont(const char* archive, const char* member, int glyphWidth, const char* at, const char* text,
                          ExpectedText* out) {
  BmpMember bmp;
  if (BmpMemberLoad(archive, member, &bmp) != BmpMemberStatus::Loaded || glyphWidth <= 0 ||
      std::sscanf(at, "%d,%d", &out->x, &out->y) != 2) {
    return false;
  }
  out->text = text;
  out->glyphWidth = glyphWidth;
  out->glyphHeight = bmp.image.height;
  const int length = static_cast<int>(out->text.size());
  out->pixels.assign(static_cast<size_t>(length * glyphWidth * out->glyphHeight), Rgb8{0, 0, 0});
  for (int k = 0; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(out->text[k]);
    const int code = c >= 'a' && c <= 'z' ? c - 32 : c;
    const int cell = (code >= 32 && code <= 96 ? code - 32 : 0) * glyphWidth;
    for (int row = 0; row < out->glyphHeight; ++row) {
      const uint8_t* line = bmp.Pixels() + static_cast<size_t>(bmp.image.height - 1 - row) * bmp.image.rowBytes;
      for (int column = 0; column < glyphWidth && cell + column < bmp.image.width; ++column) {
        const int index = line[cell + column];
        if (index == kPictureColourKey || index >= bmp.image.colourCount) continue;
        const uint8_t* colour = bmp.Colour(index);
        out->pixels[static_cast<size_t>(row) * length * glyphWidth + k * glyphWidth + column] =
            Rgb8{colour[2], colour[1], colour[0]};
      }
    }
  }
  return true;
}

// The smallest share of a glyph cell that shows what it should.
double WorstCell(const RgbFrame& frame, const ExpectedText& t) {
  const int length = static_cast<int>(t.text.size());
  double worst = 1.0;
  for (int k = 0; k < length; ++k) {
    int matching = 0, total = 0;
    for (int row = 0; row < t.glyphHeight; ++row) {
      for (int column = 0; column < t.glyphWidth; ++column) {
        const int x = t.x + k * t.glyphWidth + column, y = t.y + row;
        if (x < 0 || y < 0 || x >= frame.width || y >= frame.height) return 0.0;
        ++total;
        const Rgb8 want = t.pixels[static_cast<size_t>(row) * length * t.glyphWidth + k * t.glyphWidth + column];
        if (Near(frame.At(x, y), want, 24)) ++matching;
      }
    }
    worst = std::min(worst, total ? static_cast<double>(matching) / total : 0.0);
  }
  return worst;
}

int CheckTexts(const std::vector<std::string>& files, std::vector<ExpectedText>& texts) {
  std::vector<bool> found(texts.size(), false);
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    for (size_t i = 0; i < texts.size(); ++i) {
      if (found[i]) continue;
      const double worst = WorstCell(frame, texts[i]);
      if (worst < 0.8) continue;  // not even close
      std::printf("frame_check: %s: '%s' at %d,%d, worst cell %.0f%%\n", file.c_str(), texts[i].text.c_str(),
                  texts[i].x, texts[i].y, worst * 100);
      found[i] = worst >= 0.9;
    }
  }
  bool all = true;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (found[i]) continue;
    std::printf("frame_check: no frame of %zu shows '%s'\n", files.size(), texts[i].text.c_str());
    all = false;
  }
  return all ? 0 : 1;
}

// A stretch of level frames between pictures of the menus: its first few
// frames and its last.
struct LevelStretch {
  std::vector<RgbFrame> first;
  std::vector<std::string> firstFiles;
  RgbFrame last;
  std::string lastFile;
};

// The view comes back: the last level frame before one stretch of menus
// (a save) is shown again, all but 10 % of it alike, by one of the first
// frames after a later one (a load), while the game between them ended
// elsewhere (the last frame before the second stretch unlike it on 30 %
// or more).
int CheckReturn(const std::vector<std::string>& files, const std::vector<RgbFrame>& menus) {
  constexpr size_t kFirstKept = 8;
  std::vector<LevelStretch> stretches;
  bool inLevel = false;
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    bool menu = false;
    for (const RgbFrame& picture : menus) {
      bool barsBlack = false;
      menu = menu || Measure(frame, picture, false, 12, &barsBlack) >= 0.5;
    }
    if (menu || !ShowsALevel(frame)) {
      inLevel = false;
      continue;
    }
    if (!inLevel) stretches.emplace_back();
    inLevel = true;
    LevelStretch& stretch = stretches.back();
    if (stretch.first.size() < kFirstKept) {
      stretch.first.push_back(frame);
      stretch.firstFiles.push_back(file);
    }
    stretch.last = std::move(frame);
    stretch.lastFile = file;
  }
  for (size_t i = 0; i < stretches.size(); ++i) {
    for (size_t j = i + 2; j < stretches.size(); ++j) {
      const double elsewhere = RegionDifference(stretches[j - 1].last, stretches[i].last, 0, 0, kWidth, kHeight);
      if (elsewhere < 0.3) continue;
      for (size_t k = 0; k < stretches[j].first.size(); ++k) {
        const double unlike = RegionDifference(stretches[j].first[k], stretches[i].last, 0, 0, kWidth, kHeight);
        if (unlike > 0.1) continue;
        std::printf("frame_check: %s shows %s again (%.0f%% unlike); %s was %.0f%% unlike it\n",
                    stretches[j].firstFiles[k].c_str(), stretches[i].lastFile.c_str(), unlike * 100,
                    stretches[j - 1].lastFile.c_str(), elsewhere * 100);
        return 0;
      }
    }
  }
  std::printf("frame_check: no view comes back among %zu stretches of level frames in %zu frames\n",
              stretches.size(), files.size());
  return 1;
}

}  // namespace

// The cockpit picture file (an 8-bit BMP, see-through where its index is
// 255) in 640x480 RGB, and which of its pixels are opaque.
bool ReadCockpit(const char* path, RgbFrame* picture, std::vector<bool>* opaque) {
  FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(in);
  BmpImage image;
  if (BmpImageRead(bytes.data(), bytes.size(), &image) != BmpFault::None || image.width != kWidth ||
      image.height != kHeight)
    return false;
  picture->width = kWidth;
  picture->height = kHeight;
  picture->rgb.assign(static_cast<size_t>(kWidth) * kHeight * 3, 0);
  opaque->assign(static_cast<size_t>(kWidth) * kHeight, false);
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* row = bytes.data() + image.pixelOffset + static_cast<size_t>(kHeight - 1 - y) * image.rowBytes;
    for (int x = 0; x < kWidth; ++x) {
      const int index = row[x];
      if (index == 255 || index >= image.colourCount) continue;
      const uint8_t* c = bytes.data() + image.colourOffset + static_cast<size_t>(index) * 4;
      uint8_t* out = &picture->rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      out[0] = c[2];
      out[1] = c[1];
      out[2] = c[0];
      (*opaque)[static_cast<size_t>(y) * kWidth + x] = true;
    }
  }
  return true;
}

// A 640x480 game frame with the cockpit: the picture's opaque pixels of
// the canopy's top edge and the dashboard's first rows (above the HUD's
// panels) shown on 60% of them (each channel within 48: korvanesw stretches
// a 256x256 texture back to the screen), the scene in the band between, and
// the green crosshair left of the band's centre (320, 188).
int CheckCockpitFrames(const char* folder, const char* path) {
  RgbFrame picture;
  std::vector<bool> opaque;
  if (!ReadCockpit(path, &picture, &opaque)) {
    std::printf("frame_check: %s is no 640x480 cockpit picture\n", path);
    return 2;
  }
  const auto files = PngFilesIn(folder);
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame) || frame.width != kWidth || frame.height != kHeight) continue;
    long shown = 0, total = 0;
    for (int y = 0; y < kHeight; ++y) {
      if (!(y < 40 || (y >= 312 && y < 330))) continue;
      for (int x = 0; x < kWidth; ++x) {
        if (!opaque[static_cast<size_t>(y) * kWidth + x]) continue;
        ++total;
        if (Near(frame.At(x, y), picture.At(x, y), 48)) ++shown;
      }
    }
    std::set<int> colours;
    for (int y = 80; y < 300; y += 4) {
      for (int x = 0; x < kWidth; x += 4) {
        const Rgb8 c = frame.At(x, y);
        colours.insert(c.r << 16 | c.g << 8 | c.b);
      }
    }
    // korvane3d's crosshair picture is a lighter green than korvanesw's lines.
    const Rgb8 arm = frame.At(312, 188);
    const bool green = arm.g >= 150 && arm.g > arm.r + 60 && arm.g > arm.b + 60;
    const double share = total ? static_cast<double>(shown) / static_cast<double>(total) : 0.0;
    std::printf("frame_check: %s: cockpit on %.0f%%, %zu scene colours, crosshair %s\n", file.c_str(), share * 100,
                colours.size(), green ? "green" : "missing");
    if (share >= 0.6 && colours.size() >= 16 && green) return 0;
  }
  std::printf("frame_check: no frame shows the cockpit among %zu frames\n", files.size());
  return 1;
}

int main(int argc, char** argv) {
  if (argc > 3 && (std::strcmp(argv[2], "--game") == 0 || std::strcmp(argv[2], "--cockpit") == 0)) {
    // Each "--game <size>" and "--cockpit <file>" must be found.
    for (int next = 2; next + 1 < argc; next += 2) {
      int result = 2;
      if (std::strcmp(argv[next], "--game") == 0) result = CheckGameFrames(argv[1], argv[next + 1]);
      if (std::strcmp(argv[next], "--cockpit") == 0) result = CheckCockpitFrames(argv[1], argv[next + 1]);
      if (result != 0) return result;
    }
    return 0;
  }
  if (argc > 7 && std::strcmp(argv[2], "--text") == 0) {
    std::vector<ExpectedText> texts;
    for (int next = 2; next < argc; next += 6) {
      ExpectedText t;
      if (next + 5 >= argc || std::strcmp(argv[next], "--text") != 0 ||
          !ExpectedTextFromFont(argv[next + 1], argv[next + 2], std::atoi(argv[next + 3]), argv[next + 4],
                                argv[next + 5], &t)) {
        std::printf("frame_check: bad --text arguments\n");
        return 2;
      }
      texts.push_back(std::move(t));
    }
    return CheckTexts(PngFilesIn(argv[1]), texts);
  }
  if (argc > 2 && std::strcmp(argv[2], "--script-camera") == 0) return CheckScriptCamera(PngFilesIn(argv[1]));
  if (argc > 3 && std::strcmp(argv[2], "--returns") == 0) {
    std::vector<RgbFrame> menus;
    for (int next = 4; next < argc; ++next) {
      RgbFrame picture;
      if (!ExpectedFromMember(argv[3], argv[next], &picture)) {
        std::printf("frame_check: %s of %s can't be read\n", argv[next], argv[3]);
        return 2;
      }
      menus.push_back(std::move(picture));
    }
    return CheckReturn(PngFilesIn(argv[1]), menus);
  }
  if (argc > 3 && std::strcmp(argv[2], "--level") == 0) return CheckLevel(PngFilesIn(argv[1]), std::atoi(argv[3]));
  if (argc > 4 && std::strcmp(argv[2], "--changes") == 0)
    return CheckChanges(PngFilesIn(argv[1]), argv[3], std::atoi(argv[4]));
  struct Wanted {
    RgbFrame expected;
    DisplayRect area{0, 0, kWidth, kHeight};
    std::string what;
    int tolerance = 8;
    bool found = false;
  };
  std::vector<Wanted> wanted;
  bool letterboxed = false;
  double needed = 0.9;
  for (int next = 2; next < argc;) {
    if (std::strcmp(argv[next], "--picture") == 0 && next + 2 < argc) {
      Wanted w;
      int left = 0, top = 0;
      const bool placed = next + 4 < argc && std::strcmp(argv[next + 3], "--at") == 0;
      if (placed && std::sscanf(argv[next + 4], "%d,%d", &left, &top) != 2) {
        wanted.clear();
        break;
      }
      if (left < 0 || top < 0 || left >= kWidth || top >= kHeight ||
          !ExpectedFromMember(argv[next + 1], argv[next + 2], &w.expected, left, top, &w.area)) {
        std::printf("frame_check: %s of %s can't be read\n", argv[next + 2], argv[next + 1]);
        return 2;
      }
      w.what = std::string(argv[next + 2]) + (placed ? std::string(" of ") + argv[next + 1] : std::string());
      w.tolerance = 12;
      wanted.push_back(std::move(w));
      next += placed ? 5 : 3;
    } else if (std::strcmp(argv[next], "--letterboxed") == 0) {
      letterboxed = true;
      ++next;
    } else if (std::strcmp(argv[next], "--share") == 0 && next + 1 < argc) {
      needed = std::atoi(argv[next + 1]) / 100.0;
      next += 2;
    } else {
      unsigned r = 0, g = 0, b = 0;
      if (std::sscanf(argv[next], "%u,%u,%u", &r, &g, &b) != 3) {
        wanted.clear();
        break;
      }
      Wanted w;
      w.expected.width = kWidth;
      w.expected.height = kHeight;
      for (int i = 0; i < kWidth * kHeight; ++i)
        w.expected.rgb.insert(w.expected.rgb.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
      w.what = argv[next];
      wanted.push_back(std::move(w));
      ++next;
    }
  }
  if (argc < 3 || wanted.empty()) {
    std::fprintf(stderr,
                 "usage: frame_check <folder> (--picture <archive> <member> [--at <x>,<y>] | <r,g,b>)... [--letterboxed] "
                 "[--share <percent>]\n"
                 "       frame_check <folder> (--level <count> | --changes <l,t,r,b> <count>)\n"
                 "       frame_check <folder> (--text <archive> <font member> <glyph width> <x>,<y> <text>)...\n");
    return 2;
  }
  const auto files = PngFilesIn(argv[1]);
  if (files.empty()) {
    std::printf("frame_check: no frames in %s\n", argv[1]);
    return 1;
  }
  size_t left = wanted.size();
  for (const std::string& file : files) {
    RgbFrame frame;
    if (!ReadPngRgb(file, &frame)) {
      std::printf("frame_check: %s is not a PNG\n", file.c_str());
      return 1;
    }
    if (!letterboxed && (frame.width != kWidth || frame.height != kHeight)) {
      std::printf("frame_check: %s is %dx%d, not %dx%d\n", file.c_str(), frame.width, frame.height, kWidth, kHeight);
      continue;
    }
    for (Wanted& w : wanted) {
      if (w.found) continue;
      bool barsBlack = true;
      const double share =
          Measure(frame, w.expected, letterboxed, letterboxed ? 20 : w.tolerance, &barsBlack, w.area);
      std::printf("frame_check: %s %dx%d: %.0f%% of the picture shows %s%s\n", file.c_str(), frame.width,
                  frame.height, share * 100, w.what.c_str(),
                  letterboxed ? (barsBlack ? ", black bars" : ", bars not black") : "");
      if (share >= needed && barsBlack) {
        w.found = true;
        --left;
      }
    }
    if (left == 0) return 0;
  }
  for (const Wanted& w : wanted)
    if (!w.found) std::printf("frame_check: no frame of %zu shows %s\n", files.size(), w.what.c_str());
  return 1;
}
