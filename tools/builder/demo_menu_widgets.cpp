// The menus' widget pictures: each button in its four states (0 disabled,
// 1 normal, 2 under the mouse, 3 pressed), the slider at its ten knob
// positions, the sound and music switches, and the menu cursor.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/demo_menu_layout.h"
#include "tools/builder/interface_art.h"

namespace {

enum ButtonState { kDisabled = 0, kNormal = 1, kHover = 2, kPressed = 3 };

struct PlateLook {
  Rgb top, bottom, light, dark, outline;
  Rgb labelTop, labelBottom;
  bool labelShadow;
  int labelShift;
};

PlateLook LookOf(int state) {
  switch (state) {
    case kDisabled:
      return {{50, 52, 58}, {30, 32, 36}, {74, 76, 82}, {18, 18, 20}, {8, 8, 10}, {96, 98, 104}, {80, 82, 88}, false, 0};
    case kHover:
      return {{104, 120, 146},   {52, 62, 82},     {176, 190, 214}, {22, 26, 34}, MenuColour::kAmber,
              MenuColour::kAmberLight, MenuColour::kAmber, true, 0};
    case kPressed:
      return {{30, 36, 48},     {62, 74, 96},           {16, 18, 24}, {120, 136, 160}, MenuColour::kAmber,
              {255, 236, 190}, MenuColour::kAmberLight, true,         1};
    default:
      return {{84, 98, 124},   {40, 48, 64},      {150, 166, 192}, {20, 24, 32}, {6, 8, 12},
              {232, 238, 248}, {150, 170, 200}, true, 0};
  }
}

// A plate the size of the canvas: outline, gradient, bevel, a fine sheen
// line under the top edge.
void DrawPlate(PictureCanvas* canvas, const PlateLook& look) {
  const int w = canvas->Width(), h = canvas->Height();
  canvas->VerticalGradient(0, 0, w, h, look.top, look.bottom);
  canvas->Frame(0, 0, w, h, look.outline);
  canvas->Bevel(1, 1, w - 2, h - 2, look.light, look.dark);
  canvas->FillBlend(3, 3, w - 6, 1, MenuColour::kWhite, 0.12f);
}

// An indicator light at the plate's left end.
void DrawLamp(PictureCanvas* canvas, float cx, float cy, Rgb colour, float glow) {
  canvas->Disc(cx, cy, 4.2f, MenuColour::kBlack);
  canvas->Disc(cx, cy, 3.2f, colour * (0.35f + 0.65f * glow));
  canvas->Blend(static_cast<int>(cx) - 1, static_cast<int>(cy) - 2, MenuColour::kWhite, 0.3f + 0.5f * glow);
}

void DrawArrow(PictureCanvas* canvas, bool up, Rgb colour) {
  const int w = canvas->Width(), h = canvas->Height();
  const int rows = h / 3;
  for (int r = 0; r < rows; ++r) {
    const int half = (r * (w / 2 - 6)) / std::max(1, rows - 1);
    const int y = up ? h / 3 + r : h - h / 3 - 1 - r;
    canvas->Fill(w / 2 - half - 1, y, 2 * half + 2, 1, colour);
  }
}

TextStyle LabelStyle(const PlateLook& look) {
  TextStyle style;
  style.top = look.labelTop;
  style.bottom = look.labelBottom;
  style.shadow = look.labelShadow;
  return style;
}

void AddButton(InterfaceArt* art, const MenuButton& button) {
  const std::string label = button.label;
  const bool arrow = label == "^" || label == "v";
  TextPainter* text = nullptr;
  if (!arrow) {
    // The largest size whose label leaves room for the lamp.
    for (int size = button.height >= 34 ? 17 : 15; size >= 9 && !text; --size) {
      TextPainter* candidate = art->Text(Typeface::Sans, size);
      if (!candidate) return;
      if (candidate->Measure(label) <= button.width - 34) text = candidate;
    }
    if (!text) text = art->Text(Typeface::Sans, 9);
    if (!text) return;
  }
  for (int state = 0; state < 4; ++state) {
    const PlateLook look = LookOf(state);
    PictureCanvas canvas(button.width, button.height, MenuColour::kBlack);
    DrawPlate(&canvas, look);
    if (arrow) {
      DrawArrow(&canvas, label == "^", look.labelTop);
    } else {
      const float lampGlow = state == kDisabled ? 0.0f : state == kNormal ? 0.35f : 1.0f;
      const Rgb lampColour = state == kDisabled ? Rgb{90, 90, 96} : MenuColour::kAmber;
      DrawLamp(&canvas, 13.5f, button.height / 2.0f, lampColour, lampGlow);
      const int baseline = (button.height + text->CapHeight()) / 2 + look.labelShift;
      text->DrawCentred(&canvas, button.width / 2 + 8 + look.labelShift, baseline, label, LabelStyle(look));
    }
    art->AddPicture(std::string(button.prefix) + std::to_string(state) + ".bmp", canvas, kPictureColourKey, false);
  }
}

// The slider with its knob at position 0..9, placed where the menus' hit
// test maps the mouse: position p covers columns 3 + p x (w - 6) / 10 on.
void AddSlider(InterfaceArt* art) {
  const int w = kSliderWidth, h = kSliderHeight;
  const float step = (w - 6) / 10.0f;
  for (int position = 0; position < 10; ++position) {
    PictureCanvas canvas(w, h, MenuColour::kBlack);
    canvas.VerticalGradient(0, 0, w, h, {36, 42, 56}, {18, 22, 30});
    canvas.Frame(0, 0, w, h, {6, 8, 12});
    const float knob = 3 + (position + 0.5f) * step;
    // The groove, lit amber up to the knob.
    DrawInset(&canvas, 6, h / 2 - 2, w - 12, 4, MenuColour::kSteelDark);
    for (int x = 6; x < static_cast<int>(knob); ++x) {
      const float t = static_cast<float>(x - 6) / (w - 12);
      canvas.Fill(x, h / 2 - 2, 1, 4, Mix(Rgb{120, 60, 10}, MenuColour::kAmber, t));
    }
    for (int p = 0; p < 10; ++p) {
      const int tick = static_cast<int>(3 + (p + 0.5f) * step);
      canvas.Fill(tick, 2, 1, 3, MenuColour::kSteelLight * 0.8f);
      canvas.Fill(tick, h - 5, 1, 3, MenuColour::kSteelLight * 0.8f);
    }
    // The knob: a steel block with grip lines.
    const int kw = 12, left = static_cast<int>(knob) - kw / 2;
    canvas.VerticalGradient(left, 1, kw, h - 2, {176, 190, 214}, {70, 84, 108});
    canvas.Frame(left, 1, kw, h - 2, MenuColour::kBlack);
    canvas.Bevel(left + 1, 2, kw - 2, h - 4, {220, 228, 240}, {40, 48, 64});
    for (int g = -1; g <= 1; ++g) canvas.Fill(left + 3, h / 2 + g * 4, kw - 6, 1, {40, 48, 64});
    art->AddPicture("sli" + std::to_string(position) + ".bmp", canvas, kPictureColourKey, false);
  }
}

// A switch's four pictures: off, off under the mouse, on, on under the mouse.
void AddSwitch(InterfaceArt* art, const char* prefix, const char* what) {
  TextPainter* text = art->Text(Typeface::Sans, 13);
  if (!text) return;
  for (int picture = 0; picture < 4; ++picture) {
    const bool on = picture >= 2, hover = picture % 2 == 1;
    const PlateLook look = LookOf(hover ? kHover : kNormal);
    PictureCanvas canvas(kSwitchWidth, kSwitchHeight, MenuColour::kBlack);
    DrawPlate(&canvas, look);
    DrawLamp(&canvas, 14.5f, kSwitchHeight / 2.0f, on ? MenuColour::kGreen : MenuColour::kRed, 1.0f);
    const std::string label = std::string(what) + (on ? " ON" : " OFF");
    text->DrawCentred(&canvas, kSwitchWidth / 2 + 9, (kSwitchHeight + text->CapHeight()) / 2, label,
                      LabelStyle(look));
    art->AddPicture(std::string(prefix) + std::to_string(picture) + ".BMP", canvas, kPictureColourKey, false);
  }
}

// A targeting reticle, drawn centred on the mouse point.
void AddCursor(InterfaceArt* art) {
  const int size = 21, c = size / 2;
  PictureCanvas canvas(size, size, MenuColour::kBlack);
  canvas.FillKey(0, 0, size, size);
  for (int pass = 0; pass < 2; ++pass) {  // a black rim first, then the bright strokes
    const Rgb colour = pass == 0 ? Rgb{4, 6, 10} : MenuColour::kAmberLight;
    const int grow = pass == 0 ? 1 : 0;
    for (int d = 3 - grow; d <= 9 + grow; ++d) {
      for (int w = -grow; w <= grow; ++w) {
        canvas.Set(c + d, c + w, colour);
        canvas.Set(c - d, c + w, colour);
        canvas.Set(c + w, c + d, colour);
        canvas.Set(c + w, c - d, colour);
      }
    }
  }
  canvas.Set(c, c, MenuColour::kWhite);
  art->AddPicture("cursor.bmp", canvas, kPictureColourKey, false);
}

}  // namespace

void AddMenuWidgets(InterfaceArt* art) {
  for (const MenuButton& button : kMenuButtons) AddButton(art, button);
  AddSlider(art);
  AddSwitch(art, "son", "SOUND");
  AddSwitch(art, "mon", "MUSIC");
  AddCursor(art);
}
