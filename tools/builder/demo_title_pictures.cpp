// The full-screen pictures shown outside the menus: the title, the stand-by
// picture of a level load, the newspaper pages that spin in before a new
// campaign ("paper01.bmp" ...), and the credits ("credit.bmp", 640 wide,
// see-through where its pixels are 255, rising over "back.bmp").
#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

TextStyle AmberLetters() { return ShadedTextStyle(MenuColour::kAmberLight, MenuColour::kAmber); }

void AddTitle(InterfaceArt* art) {
  PictureCanvas canvas(kScreenWidth, kScreenHeight, MenuColour::kBlack);
  DrawStarfield(&canvas, 11);
  DrawPlanet(&canvas, 470, 690, 380, {200, 104, 52}, {120, 190, 255}, 5);
  DrawPlanet(&canvas, 566, 62, 22, {150, 160, 170}, {200, 220, 255}, 9);  // a small moon
  TextPainter* logo = art->Text(Typeface::Sans, 96);
  TextPainter* small = art->Text(Typeface::Sans, 15);
  if (!logo || !small) return;
  logo->DrawCentred(&canvas, kScreenWidth / 2, 196, "KORVANE", MetalTextStyle(3));
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

// A newspaper front page: masthead, headline, a photograph and columns of
// small print.
void AddPaperPage(InterfaceArt* art, int number, const char* headline, const char* subline, uint32_t seed) {
  constexpr int kWidth = 480, kHeight = 360;
  PictureCanvas canvas(kWidth, kHeight, {226, 218, 196});
  for (int y = 0; y < kHeight; ++y) {  // the paper's grain
    for (int x = 0; x < kWidth; ++x) canvas.Set(x, y, canvas.Get(x, y) * (0.94f + 0.06f * Hash01(seed, x, y)));
  }
  const Rgb ink{30, 28, 26};
  TextPainter* mast = art->Text(Typeface::Sans, 30);
  TextPainter* head = art->Text(Typeface::Sans, 22);
  TextPainter* small = art->Text(Typeface::Sans, 11);
  if (!mast || !head || !small) return;
  TextStyle inkStyle;
  inkStyle.top = inkStyle.bottom = ink;
  mast->DrawCentred(&canvas, kWidth / 2, 40, "THE COLONIAL HERALD", inkStyle);
  canvas.Fill(16, 48, kWidth - 32, 2, ink);
  small->Draw(&canvas, 18, 62, "EDITION " + std::to_string(2400 + number * 17), inkStyle);
  canvas.Fill(16, 68, kWidth - 32, 1, ink);
  head->DrawCentred(&canvas, kWidth / 2, 98, headline, inkStyle);
  small->DrawCentred(&canvas, kWidth / 2, 118, subline, inkStyle);
  // The photograph: a grainy planet.
  PictureCanvas photo(180, 150, {20, 20, 20});
  DrawStarfield(&photo, seed + 1);
  DrawPlanet(&photo, 110, 100, 70, {150, 140, 130}, {200, 200, 200}, seed + 2);
  for (int y = 0; y < photo.Height(); ++y) {
    for (int x = 0; x < photo.Width(); ++x) {
      const Rgb c = photo.Get(x, y);
      const float grey = (c.r + c.g + c.b) / 3.0f * 0.8f + 20.0f * Hash01(seed + 3, x, y);
      canvas.Set(24 + x, 134 + y, {grey, grey * 0.97f, grey * 0.92f});
    }
  }
  canvas.Frame(23, 133, 182, 152, ink);
  // Columns of small print, as lines of uneven length.
  auto column = [&](int x, int y, int w, int h) {
    for (int line = y; line + 4 < y + h; line += 7) {
      const int length = w - static_cast<int>(Hash01(seed + 4, x, line) * (line % 35 == 0 ? w / 2 : 14));
      for (int word = x; word < x + length;) {
        const int size = 6 + static_cast<int>(Hash01(seed + 5, word, line) * 22);
        canvas.Fill(word, line, std::min(size, x + length - word), 3, ink * 1.9f);
        word += size + 4;
      }
    }
  };
  column(24, 294, 180, 56);
  column(222, 134, 110, 216);
  column(346, 134, 112, 216);
  char name[16];
  std::snprintf(name, sizeof name, "paper%02d.bmp", number);
  art->AddPicture(name, canvas, kPictureColourKey, false);
}

void AddCredits(InterfaceArt* art) {
  PictureCanvas back(kScreenWidth, kScreenHeight, MenuColour::kBlack);
  DrawStarfield(&back, 41);
  DrawPlanet(&back, 320, 900, 520, {200, 104, 52}, {120, 190, 255}, 17);
  art->AddPicture("back.bmp", back, kPictureColourKey, true);

  static const char* const kLines[] = {
      "KORVANE",          "",        "",        "*DESIGN",          "THE KORVANE TEAM",  "",
      "*ENGINE",          "THE KORVANE TEAM",    "",                "*LEVELS",           "THE DATA BUILDER",
      "",                 "*PICTURES AND FONTS", "DRAWN BY THE DATA BUILDER",          "LETTERS FROM DEJAVU",
      "",                 "*MUSIC AND SOUND",    "SYNTHESISED",     "",                  "*TESTING",
      "EVERY BUILD",      "",        "",        "*THANK YOU FOR PLAYING",
  };
  constexpr int kHeight = 1040;
  PictureCanvas credits(kScreenWidth, kHeight, MenuColour::kBlack);
  credits.FillKey(0, 0, kScreenWidth, kHeight);
  TextPainter* heading = art->Text(Typeface::Sans, 20);
  TextPainter* name = art->Text(Typeface::Sans, 16);
  TextPainter* title = art->Text(Typeface::Sans, 56);
  if (!heading || !name || !title) return;
  TextStyle nameStyle;
  nameStyle.top = {236, 242, 252};
  nameStyle.bottom = {150, 170, 200};
  nameStyle.outline = true;
  int y = 200;
  for (const char* line : kLines) {
    const std::string text = line;
    if (text == "KORVANE") {
      title->DrawCentred(&credits, kScreenWidth / 2, y, text, MetalTextStyle(3));
      y += 70;
    } else if (!text.empty() && text[0] == '*') {
      TextStyle style = AmberLetters();
      style.outline = true;
      heading->DrawCentred(&credits, kScreenWidth / 2, y, text.substr(1), style);
      y += 30;
    } else {
      if (!text.empty()) name->DrawCentred(&credits, kScreenWidth / 2, y, text, nameStyle);
      y += 26;
    }
  }
  art->AddPicture("credit.bmp", credits, kTransparentIndex, false);
}

}  // namespace

void AddTitlePictures(InterfaceArt* art) {
  AddTitle(art);
  AddStandBy(art);
  AddPaperPage(art, 1, "COLONY WORLD FALLS SILENT", "ALL CONTACT WITH THE KORVANE SETTLEMENTS LOST", 51);
  AddPaperPage(art, 2, "AUTOMATED DEFENCES TURN", "DRONES AND TURRETS SEAL THE MINING TUNNELS", 61);
  AddPaperPage(art, 3, "ONE PILOT SENT IN", "FLEET COMMAND: A SINGLE SHIP CAN SLIP THROUGH", 71);
  AddCredits(art);
}
