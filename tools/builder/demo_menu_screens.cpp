// The menu screens' pictures, 640x480: space with a planet behind a steel
// console, the screen's title, and the labels, frames and wells for what the
// menus draw over them (buttons, sliders, lists, text lines, key fields).
#include <string>

#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/demo_menu_layout.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

TextStyle CaptionStyle(Rgb colour) { return ShadedTextStyle(colour, colour * 0.75f); }

// What every screen shares: space, a planet's limb low on the left.
PictureCanvas Backdrop() {
  PictureCanvas canvas(kScreenWidth, kScreenHeight, MenuColour::kBlack);
  DrawStarfield(&canvas, 31);
  DrawPlanet(&canvas, 40, 880, 560, {70, 110, 170}, {120, 190, 255}, 13);
  return canvas;
}

// A steel console with a dark well inside, where widgets sit.
void DrawConsole(PictureCanvas* canvas, int x, int y, int w, int h) {
  DrawPanel(canvas, x, y, w, h, static_cast<uint32_t>(x * 7 + y));
  DrawInset(canvas, x + 16, y + 16, w - 32, h - 32, MenuColour::kSteel);
}

// The small console under the "gbk" button.
void DrawBackConsole(PictureCanvas* canvas) { DrawConsole(canvas, 230, 389, 180, 74); }

class ScreenMaker {
 public:
  ScreenMaker(InterfaceArt* art, const PictureCanvas& backdrop) : art_(art), backdrop_(backdrop) {}

  // A fresh screen with its title (none when title is empty).
  PictureCanvas Start(const char* title) {
    PictureCanvas canvas = backdrop_;
    if (*title) {
      if (TextPainter* text = art_->Text(Typeface::Sans, 32)) {
        text->DrawCentred(&canvas, kScreenWidth / 2, 48, title, MetalTextStyle(2));
      }
      DrawGlowLine(&canvas, 150, 60, 340, MenuColour::kAmber);
    }
    return canvas;
  }

  void Caption(PictureCanvas* canvas, int x, int baseline, const std::string& text, Rgb colour = MenuColour::kCyan,
               int size = 13) {
    if (TextPainter* painter = art_->Text(Typeface::Sans, size)) {
      painter->Draw(canvas, x, baseline, text, CaptionStyle(colour));
    }
  }
  void CaptionRight(PictureCanvas* canvas, int right, int baseline, const std::string& text, int size = 13) {
    if (TextPainter* painter = art_->Text(Typeface::Sans, size)) {
      painter->Draw(canvas, right - painter->Measure(text), baseline, text, CaptionStyle(MenuColour::kCyan));
    }
  }
  void CaptionCentred(PictureCanvas* canvas, int x, int baseline, const std::string& text, Rgb colour, int size) {
    if (TextPainter* painter = art_->Text(Typeface::Sans, size)) {
      painter->DrawCentred(canvas, x, baseline, text, CaptionStyle(colour));
    }
  }

  void Add(const char* name, const PictureCanvas& canvas) { art_->AddPicture(name, canvas, kPictureColourKey, true); }

 private:
  InterfaceArt* art_;
  const PictureCanvas& backdrop_;
};

// A well for a line of text the menus type into: chars glyphs of 8 x 12.
void DrawTextWell(PictureCanvas* canvas, int x, int y, int chars) {
  DrawInset(canvas, x - 3, y - 3, chars * 8 + 6, 18, MenuColour::kAmber);
}

void AddMainScreens(ScreenMaker* maker, InterfaceArt* art) {
  for (const char* name : {"mns1.bmp", "mns2.bmp"}) {
    PictureCanvas canvas = maker->Start("");
    if (TextPainter* logo = art->Text(Typeface::Sans, 64)) {
      logo->DrawCentred(&canvas, kScreenWidth / 2, 104, "KORVANE", MetalTextStyle(3));
    }
    DrawGlowLine(&canvas, 150, 120, 340, MenuColour::kAmber);
    DrawConsole(&canvas, 184, 146, 272, 318);
    maker->Add(name, canvas);
  }
}

void AddOptionScreens(ScreenMaker* maker) {
  struct Plain {
    const char* name;
    const char* title;
    int x, y, w, h;  // the console
  };
  const Plain screens[] = {
      {"ops.bmp", "OPTIONS", 184, 146, 272, 318}, {"diff.bmp", "DIFFICULTY", 184, 180, 272, 276},
      {"multi.bmp", "MULTIPLAYER", 134, 126, 406, 344},
  };
  for (const Plain& screen : screens) {
    PictureCanvas canvas = maker->Start(screen.title);
    DrawConsole(&canvas, screen.x, screen.y, screen.w, screen.h);
    maker->Add(screen.name, canvas);
  }
}

void AddSoundScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("SOUND");
  DrawConsole(&canvas, 30, 200, 580, 185);
  DrawBackConsole(&canvas);
  maker->Caption(&canvas, kSoundSlider.x, kSoundSlider.y - 10, "EFFECTS VOLUME");
  maker->Caption(&canvas, kMusicSlider.x, kMusicSlider.y - 10, "MUSIC VOLUME");
  maker->Add("soundop.bmp", canvas);
}

void AddControlsScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("CONTROLS");
  DrawConsole(&canvas, 30, 130, 600, 255);
  DrawBackConsole(&canvas);
  maker->CaptionRight(&canvas, kMouseXSlider.x - 12, kMouseXSlider.y + 17, "MOUSE SPEED X");
  maker->CaptionRight(&canvas, kMouseYSlider.x - 12, kMouseYSlider.y + 17, "MOUSE SPEED Y");
  maker->Caption(&canvas, 101, 318, "JOYSTICK", MenuColour::kAmber);
  maker->Add("trlbk.bmp", canvas);
}

void AddSavedGameScreens(ScreenMaker* maker) {
  for (const auto& [name, title] : {std::pair{"savehi.bmp", "SAVE GAME"}, std::pair{"loadhi.bmp", "LOAD GAME"}}) {
    PictureCanvas canvas = maker->Start(title);
    DrawConsole(&canvas, 125, 121, 390, 298);
    DrawInset(&canvas, 155, 151, 484 - 155, 389 - 151, MenuColour::kAmber);  // the list's rectangle
    maker->Add(name, canvas);
  }
}

void AddKeysScreen(ScreenMaker* maker) {
  static const char* const kActions[17] = {
      "ACCELERATE",  "BACKWARDS",   "TURN LEFT",  "TURN RIGHT",     "UP",      "DOWN",
      "STRAFE",      "STRAFE LEFT", "STRAFE RIGHT", "STRAFE UP",    "STRAFE DOWN", "FIRE GUN",
      "LAUNCH MISSILE", "SPECIAL",  "PRECISE",    "NEXT GUN",       "NEXT MISSILE"};
  PictureCanvas canvas = maker->Start("KEY BINDINGS");
  DrawConsole(&canvas, 24, 64, 424, 414);
  maker->Caption(&canvas, 235, 94, "KEY", MenuColour::kAmber, 12);
  maker->Caption(&canvas, 345, 94, "SECOND KEY", MenuColour::kAmber, 12);
  for (int row = 0; row < 17; ++row) {
    const int y = static_cast<int>(103 + 2 * row * 10.9f);
    maker->CaptionRight(&canvas, 222, y + 10, kActions[row], 11);
  }
  maker->Add("keycfg.bmp", canvas);
}

void AddBriefingScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("");
  DrawPanel(&canvas, 14, 16, 298, 396, 5);
  DrawInset(&canvas, 28, 44, 258, 352, MenuColour::kCyan);  // the briefing text: 246 x 339 from (32, 50)
  maker->Caption(&canvas, 32, 36, "MISSION BRIEFING", MenuColour::kAmber);
  DrawPanel(&canvas, 322, 16, 308, 450, 6);
  DrawInset(&canvas, 336, 29, 280, 240, MenuColour::kCyan);  // the page's picture
  maker->Add("brf-main.bmp", canvas);
}

void AddVideoScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("VIDEO");
  DrawConsole(&canvas, 12, 150, 616, 235);
  DrawBackConsole(&canvas);
  maker->CaptionRight(&canvas, kBrightnessSlider.x - 12, kBrightnessSlider.y + 17, "BRIGHTNESS");
  maker->Caption(&canvas, 36, 282, "RESOLUTION");
  maker->Add("vidop.bmp", canvas);
}

void AddConfirmScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("CONFIRM");
  DrawConsole(&canvas, 90, 170, 460, 120);
  maker->CaptionCentred(&canvas, 320, 242, "ARE YOU SURE?", MenuColour::kAmberLight, 28);
  maker->Add("end.bmp", canvas);
}

void AddSessionsScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("NETWORK GAMES");
  DrawConsole(&canvas, 90, 96, 530, 360);
  DrawTextWell(&canvas, 124, 132, 27);
  maker->Caption(&canvas, 124, 123, "SESSION", MenuColour::kCyan, 11);
  DrawInset(&canvas, 120, 167, 334 - 120, 429 - 167, MenuColour::kAmber);  // the list
  maker->Add("search.bmp", canvas);
}

void AddShipScreen(ScreenMaker* maker) {
  // The eight ship colours the two pickers choose from (hull and wings).
  static constexpr Rgb kStyles[8] = {{200, 60, 40},  {230, 150, 40}, {220, 210, 70}, {60, 170, 70},
                                     {50, 170, 200}, {50, 80, 210},  {150, 70, 200}, {200, 200, 210}};
  PictureCanvas canvas = maker->Start("PILOT");
  DrawConsole(&canvas, 40, 96, 452, 350);
  DrawTextWell(&canvas, 228, 121, 30);
  maker->CaptionRight(&canvas, 218, 132, "NAME");
  for (int row = 0; row < 2; ++row) {
    const int y = row == 0 ? 222 : 341;
    maker->Caption(&canvas, 72, y - 12, row == 0 ? "HULL COLOUR" : "WING COLOUR");
    for (int cell = 0; cell < 8; ++cell) {
      const int x = 72 + 28 * cell;
      canvas.VerticalGradient(x, y, 16, 16, kStyles[cell], kStyles[cell] * 0.45f);
      canvas.Bevel(x, y, 16, 16, kStyles[cell] * 1.3f, kStyles[cell] * 0.3f);
    }
  }
  maker->Add("ship.bmp", canvas);
}

void AddAdvancedScreen(ScreenMaker* maker) {
  PictureCanvas canvas = maker->Start("ADVANCED OPTIONS");
  DrawConsole(&canvas, 170, 150, 300, 220);
  DrawBackConsole(&canvas);
  maker->Add("avanc.bmp", canvas);
}

void AddHelpScreen(ScreenMaker* maker) {
  static const char* const kKeys[][2] = {
      {"A  /  HOME", "ACCELERATE"},   {"Z  /  END", "BACKWARDS"},       {"ARROW KEYS", "STEER"},
      {"ALT", "STRAFE"},              {"CTRL", "FIRE GUN"},             {"SPACE  /  INSERT", "LAUNCH MISSILE"},
      {"ENTER", "SPECIAL"},           {"SHIFT", "PRECISE STEERING"},    {"ESC", "MENU"},
      {"F9", "CHASE CAMERA"},         {"F1", "HELP"},
  };
  PictureCanvas canvas = maker->Start("HELP");
  DrawConsole(&canvas, 60, 86, 520, 370);
  int y = 132;
  for (const auto& key : kKeys) {
    maker->CaptionRight(&canvas, 300, y, key[0]);
    maker->Caption(&canvas, 330, y, key[1], MenuColour::kAmberLight);
    y += 27;
  }
  maker->Add("help.bmp", canvas);
}

}  // namespace

void AddMenuScreens(InterfaceArt* art) {
  const PictureCanvas backdrop = Backdrop();
  ScreenMaker maker(art, backdrop);
  AddMainScreens(&maker, art);
  AddOptionScreens(&maker);
  AddSoundScreen(&maker);
  AddControlsScreen(&maker);
  AddSavedGameScreens(&maker);
  AddKeysScreen(&maker);
  AddBriefingScreen(&maker);
  AddVideoScreen(&maker);
  AddConfirmScreen(&maker);
  AddSessionsScreen(&maker);
  AddShipScreen(&maker);
  AddAdvancedScreen(&maker);
  AddHelpScreen(&maker);
}
