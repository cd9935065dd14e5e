#include "tools/builder/demo_cockpit.h"

#include <algorithm>

#include "platform/paths.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/interface_art.h"
#include "tools/builder/picture_canvas.h"

namespace {

constexpr int kSeeThrough = 255;
constexpr int kW = kDemoCockpitWidth;
constexpr int kH = kDemoCockpitHeight;
constexpr int kTop = kDemoCockpitViewTop;
constexpr int kBottom = kDemoCockpitViewBottom;

// A canopy strut: a steel wedge reaching from a corner of the view band
// towards its middle, thinning as it goes.
void DrawStrut(PictureCanvas* canvas, bool right, bool lower) {
  constexpr int kReach = 44;
  for (int i = 0; i < kReach; ++i) {
    const int y = lower ? kBottom - 1 - i : kTop + i;
    const int width = (kReach - i) * 3 / 2;
    const int x = right ? kW - width : 0;
    canvas->Fill(x, y, width, 1, MenuColour::kSteelDark * (1.1f - i * 0.01f));
    // A lit edge on the strut's inner side.
    canvas->Set(right ? x : x + width - 1, y, MenuColour::kSteelLight * 0.8f);
  }
}

void DrawCanopyTop(PictureCanvas* canvas) {
  DrawBrushedMetal(canvas, 0, 0, kW, kTop, MenuColour::kSteel * 0.8f, MenuColour::kSteelDark, 0xC0C4u);
  canvas->Bevel(0, 0, kW, kTop, MenuColour::kSteelLight, MenuColour::kSteelDark * 0.5f, 2);
  canvas->Fill(0, kTop - 5, kW, 5, MenuColour::kSteelDark * 0.6f);
  DrawGlowLine(canvas, 40, kTop - 3, kW - 80, MenuColour::kAmber);
  for (int x = 24; x < kW; x += 96) {
    canvas->Disc(x + 0.7f, 14.7f, 2.6f, MenuColour::kBlack);
    canvas->Disc(x, 14, 2.4f, MenuColour::kSteelLight);
  }
}

void DrawDashboard(PictureCanvas* canvas) {
  const int h = kH - kBottom;
  DrawBrushedMetal(canvas, 0, kBottom, kW, h, MenuColour::kSteel, MenuColour::kSteelDark * 0.8f, 0xDA5Bu);
  canvas->Bevel(0, kBottom, kW, h, MenuColour::kSteelLight, MenuColour::kSteelDark * 0.5f, 3);
  DrawGlowLine(canvas, 60, kBottom + 4, kW - 120, MenuColour::kCyan);
  // Recesses for the panels and the hands, which the view draws over them.
  DrawInset(canvas, 246, 333, 148, 40, MenuColour::kCyan);
  DrawInset(canvas, 2, 410, 96, 36, MenuColour::kAmber);
  DrawInset(canvas, 474, 463, 120, 15, MenuColour::kAmber);
  canvas->VerticalGradient(224, 377, 209, 2, MenuColour::kSteelDark * 0.7f, MenuColour::kSteelDark * 0.7f);
  // The hands on the yoke held straight: the view draws the other steering
  // codes' hands over them only while the ship turns.
  const PictureCanvas hands = DemoHandsCanvas(5);
  for (int y = 0; y < hands.Height(); ++y)
    for (int x = 0; x < hands.Width(); ++x)
      if (!hands.IsKey(x, y)) canvas->Set(224 + x, 377 + y, hands.Get(x, y));
  // Dials either side of the screen.
  for (const float cx : {170.0f, 470.0f}) {
    canvas->Disc(cx, 352, 22, MenuColour::kBlack);
    canvas->Disc(cx, 352, 20, MenuColour::kSteelDark * 0.6f);
    canvas->Line(static_cast<int>(cx), 352, static_cast<int>(cx) + 12, 340, MenuColour::kAmberLight);
    canvas->Disc(cx, 352, 3, MenuColour::kSteelLight);
  }
}

}  // namespace

BuilderPicture MakeDemoCockpit(const BuilderPalette& palette) {
  PictureCanvas canvas(kW, kH, MenuColour::kBlack);
  canvas.FillKey(0, kTop, kW, kBottom - kTop);
  DrawCanopyTop(&canvas);
  for (const bool right : {false, true})
    for (const bool lower : {false, true}) DrawStrut(&canvas, right, lower);
  DrawDashboard(&canvas);
  PaletteMatcher matcher(palette);
  return canvas.Quantise(&matcher, kSeeThrough, true);
}

bool WriteDemoCockpit(const std::string& folder, std::string* error) {
  const BuilderPalette palette = DemoInterfacePalette();
  const std::string path = PathJoin(folder, kDemoCockpitFile);
  if (!WriteBytesToFile(path, BmpFileBytes(MakeDemoCockpit(palette), palette))) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
