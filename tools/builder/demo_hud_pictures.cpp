// The HUD's pictures: the ten weapon slots in three states each ("W<digit>A"
// selected, "B" owned, "C" not owned; 18 x 24, drawn opaque), the missile
// ready and reloading signs, and the ship-status pictures: the ship coloured
// by its health ("HERO2" healthy, "HERO3" damaged, "HERO4" critical) and its
// three shield shells ("b" inner, "c", "d" outer) in the same three strengths,
// drawn over each other with the colour key around them.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kSlotWidth = 18;
constexpr int kSlotHeight = 24;
constexpr int kShipSize = 48;

// The weapon of a slot digit, drawn in colour c into an 18 x 24 slot whose
// middle is (9, 12).
void DrawWeaponIcon(PictureCanvas* canvas, int digit, Rgb c) {
  auto missile = [&](float x, float top, float length, float width) {
    canvas->Fill(static_cast<int>(x - width / 2), static_cast<int>(top + 2), static_cast<int>(width),
                 static_cast<int>(length - 4), c);
    canvas->Disc(x - 0.5f, top + 2.5f, width / 2, c * 1.15f);  // the nose
    canvas->Fill(static_cast<int>(x - width / 2) - 1, static_cast<int>(top + length - 4), static_cast<int>(width) + 2,
                 3, c * 0.7f);  // the fins
  };
  switch (digit) {
    case 1:  // rockets and homing missiles
      missile(9, 3, 18, 4);
      break;
    case 2:  // vortex shield: rings
      for (float r : {7.5f, 4.5f}) {
        for (int a = 0; a < 48; ++a) {
          const float t = a * 6.2832f / 48;
          canvas->Set(static_cast<int>(9 + r * std::cos(t)), static_cast<int>(12 + r * std::sin(t)), c);
        }
      }
      canvas->Disc(9, 12, 1.5f, c);
      break;
    case 3:  // micro missiles
      missile(5, 6, 12, 2);
      missile(9, 4, 12, 2);
      missile(13, 6, 12, 2);
      break;
    case 4:  // nuke: a bomb with a band
      canvas->Disc(9, 12, 6, c);
      canvas->Fill(3, 11, 12, 2, c * 0.5f);
      canvas->Fill(8, 2, 2, 4, c * 0.8f);
      break;
    case 5:  // sentry: a dome with a barrel
      canvas->Disc(9, 15, 5, c);
      canvas->Fill(4, 15, 10, 5, c * 0.8f);
      canvas->Fill(8, 4, 2, 8, c);
      break;
    case 6:  // autocannon: three rounds
      for (int k = 0; k < 3; ++k) {
        canvas->Fill(3 + 5 * k, 8, 3, 10, c * 0.85f);
        canvas->Disc(4.5f + 5 * k, 8, 1.5f, c);
      }
      break;
    case 7:  // molnia arc: a lightning bolt
      canvas->Line(11, 2, 6, 12, c);
      canvas->Line(12, 2, 7, 12, c);
      canvas->Line(6, 12, 12, 12, c);
      canvas->Line(12, 12, 7, 22, c);
      canvas->Line(13, 12, 8, 22, c);
      break;
    case 8:  // core accelerator: a slug in its rails
      canvas->Fill(8, 3, 3, 18, c);
      for (int y = 5; y < 20; y += 5) canvas->Fill(5, y, 9, 1, c * 0.7f);
      break;
    case 9:  // pulse laser: beam pulses
      for (int y = 3; y < 22; y += 5) canvas->Fill(8, y, 3, 3, c);
      canvas->Fill(9, 3, 1, 19, c * 0.6f);
      break;
    default:  // plasma coil: a glowing ball
      canvas->Disc(9, 12, 6, c * 0.5f);
      canvas->Disc(9, 12, 4, c);
      canvas->Disc(8, 11, 1.5f, MenuColour::kWhite);
      break;
  }
}

void AddWeaponSlots(InterfaceArt* art) {
  struct StateLook {
    char letter;
    Rgb frame, back, icon;
  };
  const StateLook states[] = {
      {'A', MenuColour::kAmber, {40, 28, 10}, {255, 230, 140}},  // selected
      {'B', {80, 96, 124}, {10, 14, 24}, {150, 210, 240}},       // owned
      {'C', {36, 38, 44}, {8, 8, 10}, {52, 56, 64}},             // not owned
  };
  for (int digit = 0; digit < 10; ++digit) {
    for (const StateLook& look : states) {
      PictureCanvas canvas(kSlotWidth, kSlotHeight, look.back);
      DrawWeaponIcon(&canvas, digit, look.icon);
      canvas.Frame(0, 0, kSlotWidth, kSlotHeight, look.frame);
      art->AddPicture("W" + std::to_string(digit) + look.letter + ".BMP", canvas, kPictureColourKey, false);
    }
  }
}

void AddMissileSigns(InterfaceArt* art) {
  TextPainter* text = art->Text(Typeface::Sans, 10);
  if (!text) return;
  const struct {
    const char* name;
    const char* label;
    Rgb colour;
  } signs[] = {{"MSL_AVLB.BMP", "MSL READY", MenuColour::kGreen}, {"MSL_RELD.BMP", "RELOADING", MenuColour::kRed}};
  for (const auto& sign : signs) {
    PictureCanvas canvas(64, 12, {8, 10, 14});
    canvas.Frame(0, 0, 64, 12, sign.colour * 0.6f);
    TextStyle style;
    style.top = sign.colour * 1.2f;
    style.bottom = sign.colour;
    text->DrawCentred(&canvas, 32, 10, sign.label, style);
    art->AddPicture(sign.name, canvas, kPictureColourKey, false);
  }
}

// The colours of the three strengths: 2 full, 3 weakened, 4 critical.
Rgb HealthColour(int strength) {
  return strength == 2 ? Rgb{70, 210, 80} : strength == 3 ? Rgb{230, 200, 60} : Rgb{230, 60, 40};
}
Rgb ShieldColour(int strength) {
  return strength == 2 ? Rgb{110, 220, 255} : strength == 3 ? Rgb{60, 110, 230} : Rgb{140, 60, 170};
}

// The ship from above, nose up, centred in the 48 x 48 picture.
void DrawShip(PictureCanvas* canvas, Rgb colour) {
  const float cx = kShipSize / 2.0f;
  for (int y = 10; y < 38; ++y) {
    // Fuselage narrowing to the nose; swept wings from the middle back.
    const float t = (y - 10) / 28.0f;
    float half = 1.5f + 3.0f * t;
    if (y >= 22) half = std::max(half, 3.0f + (y - 22) * 0.9f);
    if (y >= 34) half = 5.0f;
    for (int x = static_cast<int>(cx - half); x < static_cast<int>(cx + half); ++x) {
      const float edge = std::abs(x + 0.5f - cx) / half;
      canvas->Set(x, y, colour * (1.0f - 0.45f * edge));
    }
  }
  canvas->Fill(static_cast<int>(cx) - 1, 16, 2, 5, {180, 230, 255});  // the canopy
}

void DrawShell(PictureCanvas* canvas, float radius, Rgb colour) {
  const float c = kShipSize / 2.0f;
  for (int y = 0; y < kShipSize; ++y) {
    for (int x = 0; x < kShipSize; ++x) {
      const float d = std::abs(std::hypot(x + 0.5f - c, y + 0.5f - c) - radius);
      if (d < 1.2f) canvas->Set(x, y, colour * (1.0f - 0.4f * d));
    }
  }
}

void AddShipStatus(InterfaceArt* art) {
  static constexpr char kShells[] = {'b', 'c', 'd'};
  for (int strength = 2; strength <= 4; ++strength) {
    PictureCanvas ship(kShipSize, kShipSize, MenuColour::kBlack);
    ship.FillKey(0, 0, kShipSize, kShipSize);
    DrawShip(&ship, HealthColour(strength));
    art->AddPicture("HERO" + std::to_string(strength) + ".BMP", ship, kPictureColourKey, false);
    for (int shell = 0; shell < 3; ++shell) {
      PictureCanvas canvas(kShipSize, kShipSize, MenuColour::kBlack);
      canvas.FillKey(0, 0, kShipSize, kShipSize);
      DrawShell(&canvas, 15.0f + 4.0f * shell, ShieldColour(strength));
      art->AddPicture("HERO" + std::to_string(strength) + kShells[shell] + ".BMP", canvas, kPictureColourKey, false);
    }
  }
}

}  // namespace

void AddHudPictures(InterfaceArt* art) {
  AddWeaponSlots(art);
  AddMissileSigns(art);
  AddShipStatus(art);
}
