// The cockpit's pictures. The pilot's hands on the control yoke for the nine
// steering codes ("hands1.bmp" .. "hands9.bmp", 209 x 103; code 5 + column +
// 3 x row with column -1 left .. 1 right and row -1 up .. 1 down; over the
// dashboard's recess, see-through only along the top edge), the
// crosshair "cur1.bmp" and the target marker "cur2.bmp" (21 x 21): overlay
// bitmaps, see-through where their pixels are 255. The four panels' animation
// frames ("uright0.bmp" ...; drawn opaque): blinking lamps and displays.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/builder/demo_art.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kOverlayKey = 255;
constexpr int kHandsWidth = 209;
constexpr int kHandsHeight = 103;

struct Point {
  float x, y;
};

Point Rotate(Point p, Point centre, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {centre.x + (p.x - centre.x) * c - (p.y - centre.y) * s,
          centre.y + (p.x - centre.x) * s + (p.y - centre.y) * c};
}

// A thick line of discs.
void Stroke(PictureCanvas* canvas, Point a, Point b, float radius, Rgb colour) {
  const float length = std::hypot(b.x - a.x, b.y - a.y);
  const int steps = std::max(1, static_cast<int>(length));
  for (int i = 0; i <= steps; ++i) {
    const float t = static_cast<float>(i) / steps;
    canvas->Disc(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, radius, colour);
  }
}

// A gloved fist around an upright handle at p: four fingers wrapped across
// it and the thumb on top.
void DrawFist(PictureCanvas* canvas, Point p, float angle) {
  const Rgb leather{104, 76, 50}, dark{36, 26, 18};
  for (int finger = 0; finger < 4; ++finger) {
    const Point a = Rotate({p.x - 8, p.y - 6 + finger * 5.0f}, p, angle);
    const Point b = Rotate({p.x + 8, p.y - 6 + finger * 5.0f}, p, angle);
    Stroke(canvas, a, b, 3.4f, dark);
    Stroke(canvas, a, b, 2.6f, leather * (1.05f - finger * 0.07f));
  }
  const Point thumb = Rotate({p.x, p.y - 11}, p, angle);
  canvas->Disc(thumb.x, thumb.y, 3.6f, dark);
  canvas->Disc(thumb.x, thumb.y, 2.8f, leather * 1.15f);
}

}  // namespace

PictureCanvas DemoHandsCanvas(int code) {
  const Rgb suit{66, 74, 92}, suitDark{24, 26, 34};
  const int column = (code - 1) % 3 - 1;  // -1 left .. 1 right
  const int row = (code - 1) / 3 - 1;     // -1 up .. 1 down
  PictureCanvas canvas(kHandsWidth, kHandsHeight, MenuColour::kBlack);
  // The dashboard's recess behind the yoke, opaque so that one steering
  // code's hands cover the last one's whole; only the top edge, where the
  // hands never reach, is see-through.
  canvas.VerticalGradient(0, 0, kHandsWidth, kHandsHeight, MenuColour::kSteelDark * 0.7f, {6, 8, 12});
  canvas.FillKey(0, 0, kHandsWidth, 2);
  const float angle = column * 0.2f;
  const Point hub{kHandsWidth / 2.0f, 64.0f + row * 7.0f};
  const float bottom = kHandsHeight + 12.0f;
  const Point fists[2] = {Rotate({hub.x - 62, hub.y - 26}, hub, angle), Rotate({hub.x + 62, hub.y - 26}, hub, angle)};
  // The forearms reach in from the bottom corners.
  for (int side = 0; side < 2; ++side) {
    const Point elbow{side == 0 ? -6.0f : kHandsWidth + 6.0f, bottom};
    const Point wrist{fists[side].x + (side == 0 ? -3.0f : 3.0f), fists[side].y + 8};
    Stroke(&canvas, elbow, wrist, 11.0f, suitDark);
    Stroke(&canvas, elbow, wrist, 9.5f, suit);
  }
  // The column from the floor, then the yoke turned by the steering.
  Stroke(&canvas, {hub.x, bottom}, hub, 7.0f, {24, 26, 32});
  Stroke(&canvas, {hub.x, bottom}, hub, 5.0f, {90, 100, 118});
  const Point ends[2] = {Rotate({hub.x - 62, hub.y - 2}, hub, angle), Rotate({hub.x + 62, hub.y - 2}, hub, angle)};
  const Point tops[2] = {Rotate({hub.x - 62, hub.y - 44}, hub, angle), Rotate({hub.x + 62, hub.y - 44}, hub, angle)};
  for (const auto& [radius, colour] : {std::pair{5.5f, Rgb{20, 22, 28}}, std::pair{4.0f, Rgb{110, 122, 144}}}) {
    Stroke(&canvas, ends[0], ends[1], radius, colour);
    for (int side = 0; side < 2; ++side) Stroke(&canvas, ends[side], tops[side], radius, colour);
  }
  for (const Point& top : tops) canvas.Disc(top.x, top.y, 3.0f, MenuColour::kRed);  // the fire buttons
  canvas.Disc(hub.x, hub.y, 9, {20, 22, 28});
  canvas.Disc(hub.x, hub.y, 7, MenuColour::kAmber * 0.8f);
  for (const Point& fist : fists) DrawFist(&canvas, fist, angle);
  return canvas;
}

namespace {

void AddHands(InterfaceArt* art) {
  for (int code = 1; code <= 9; ++code) {
    art->AddPicture("hands" + std::to_string(code) + ".bmp", DemoHandsCanvas(code), kOverlayKey, false);
  }
}

void AddCrosshairs(InterfaceArt* art) {
  const int size = 21, c = size / 2;
  PictureCanvas cross(size, size, MenuColour::kBlack);
  cross.FillKey(0, 0, size, size);
  for (int d = 3; d <= 9; ++d) {
    for (const auto& [x, y] : {std::pair{c + d, c}, std::pair{c - d, c}, std::pair{c, c + d}, std::pair{c, c - d}}) {
      cross.Set(x, y, MenuColour::kGreen * 1.2f);
    }
  }
  cross.Set(c, c, MenuColour::kGreen * 1.3f);
  art->AddPicture("cur1.bmp", cross, kOverlayKey, false);

  PictureCanvas marker(size, size, MenuColour::kBlack);
  marker.FillKey(0, 0, size, size);
  for (int i = 0; i < 6; ++i) {  // four corner brackets
    for (const auto& [x, y] : {std::pair{i, 0}, std::pair{0, i}, std::pair{size - 1 - i, 0}, std::pair{size - 1, i},
                               std::pair{i, size - 1}, std::pair{0, size - 1 - i}, std::pair{size - 1 - i, size - 1},
                               std::pair{size - 1, size - 1 - i}}) {
      marker.Set(x, y, MenuColour::kRed * 1.1f);
    }
  }
  art->AddPicture("cur2.bmp", marker, kOverlayKey, false);
}

// Lamps in a row on a dark strip; frame f lights a moving pattern.
void DrawLampStrip(PictureCanvas* canvas, int count, int frame, Rgb on) {
  const int w = canvas->Width(), h = canvas->Height();
  canvas->VerticalGradient(0, 0, w, h, {34, 38, 48}, {16, 18, 24});
  canvas->Frame(0, 0, w, h, {6, 8, 10});
  const float step = static_cast<float>(w - 8) / count;
  const float radius = std::min(h / 2.0f - 3, step / 2 - 1.5f);
  for (int i = 0; i < count; ++i) {
    const bool lit = ((i * 7 + frame * 3) % 5) < 2;
    const float x = 4 + step * (i + 0.5f);
    canvas->Disc(x, h / 2.0f, radius, {8, 8, 10});
    canvas->Disc(x, h / 2.0f, radius - 1, lit ? on : on * 0.2f);
  }
}

// A small screen with a moving trace.
void DrawScope(PictureCanvas* canvas, int frame) {
  const int w = canvas->Width(), h = canvas->Height();
  DrawInset(canvas, 2, 2, w - 4, h - 4, MenuColour::kSteel);
  for (int x = 3; x < w - 3; ++x) {
    const float phase = (x + frame * 9) * 0.21f;
    const int y = static_cast<int>(h / 2.0f + std::sin(phase) * (h / 2.0f - 7) * std::cos(phase * 0.23f));
    canvas->Fill(x, y, 1, 2, MenuColour::kGreen);
  }
  for (int x = 8; x < w - 4; x += 12) canvas->FillBlend(x, 4, 1, h - 8, MenuColour::kGreen, 0.2f);
}

void AddPanels(InterfaceArt* art) {
  constexpr int kFrames = 4;
  for (int frame = 0; frame < kFrames; ++frame) {
    const std::string n = std::to_string(frame) + ".bmp";
    PictureCanvas upperRight(64, 16, MenuColour::kBlack);
    DrawLampStrip(&upperRight, 5, frame, MenuColour::kAmber);
    art->AddPicture("uright" + n, upperRight, kPictureColourKey, false);
    PictureCanvas dash(148, 40, MenuColour::kBlack);
    DrawScope(&dash, frame);
    art->AddPicture("dash" + n, dash, kPictureColourKey, false);
    PictureCanvas lowerLeft(96, 36, MenuColour::kBlack);
    DrawLampStrip(&lowerLeft, 6, frame + 1, MenuColour::kGreen);
    art->AddPicture("lleft" + n, lowerLeft, kPictureColourKey, false);
    PictureCanvas lowerRight(120, 16, MenuColour::kBlack);
    DrawLampStrip(&lowerRight, 8, frame + 2, MenuColour::kRed);
    art->AddPicture("lright" + n, lowerRight, kPictureColourKey, false);
  }
}

}  // namespace

void AddCockpitPictures(InterfaceArt* art) {
  AddHands(art);
  AddCrosshairs(art);
  AddPanels(art);
}
