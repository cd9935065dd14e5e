// The full-screen pictures shown outside the menus: the title, the stand-by
// picture of a level load.
#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

TextStyle MetalLetters() {
  TextStyle style;
  style.top = {236, 242, 252};
  style.bottom = {84, 104, 138};
  style.outline = true;
  style.outlineColour = {8, 10, 18};
  style.shadow = true;
  style.shadowColour = {0, 0, 0};
  style.shadowOffset = 3;
  return style;
}

TextStyle AmberLetters() {
  TextStyle style;
  style.top = MenuColour::kAmberLight;
  style.bottom = MenuColour::kAmber;
  style.shadow = true;
  return style;
}

void AddTitle(InterfaceArt* art) {
  PictureCanvas canvas(kScreenWidth, kScreenHeight, MenuColour::kBlack);
  DrawStarfield(&canvas, 11);
  DrawPlanet(&canvas, 470, 690, 380, {200, 104, 52}, {120, 190, 255}, 5);
  DrawPlanet(&canvas, 566, 62, 22, {150, 160, 170}, {200, 220, 255}, 9);  // a small moon
  TextPainter* logo = art->Text(Typeface::Sans, 96);
  TextPainter* small = art->Text(Typeface::Sans, 15);
  if (!logo || !small) return;
  logo->DrawCentred(&canvas, kScreenWidth / 2, 196, "KORVANE", MetalLetters());
  DrawGlowLine(&canvas, 110, 216, 420, MenuColour::kAmber);
  small->DrawCentred(&canvas, kScreenWidth / 2, 242, "THE  ENCLOSED  WORLDS", AmberLetters());
  TextStyle credit;
  credit.top = credit.bottom = MenuColour::kSteelLight;
  small->DrawCentred(&canvas, kScreenWidth / 2, 462, "TALLOW FERNGATE", credit);
  art->AddPicture("TITLE.BMP", canvas, kPictureColourKey, true);
}

void AddStandBy(InterfaceArt* art) {
  PictureCanvas canvas(kScreenWidth, kScreenHeight, MenuColour::kBlack);
  DrawStarfield(&canvas, 23);
  const int w = 360, h = 150, x = (kScreenWidth - w) / 2, y = (kScreenHeight - h) / 2;
  DrawPanel(&canvas, x, y, w, h, 3);
  DrawInset(&canvas, x + 24, y + 22, w - 48, h - 44, MenuColour::kAmber);
  TextPainter* big = art->Text(Typeface::Sans, 40);
  TextPainter* small = art->Text(Typeface::Sans, 14);
  if (!big || !small) return;
  big->DrawCentred(&canvas, kScreenWidth / 2, y + 76, "STAND BY", AmberLetters());
  TextStyle caption;
  caption.top = caption.bottom = MenuColour::kCyan;
  small->DrawCentred(&canvas, kScreenWidth / 2, y + 106, "ENTERING MISSION AREA", caption);
  art->AddPicture("STDBY.BMP", canvas, kPictureColourKey, true);
}

}  // namespace

void AddTitlePictures(InterfaceArt* art) {
  AddTitle(art);
  AddStandBy(art);
}
