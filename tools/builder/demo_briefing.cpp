#include "tools/builder/demo_briefing.h"

#include <vector>

#include "engine/records.h"
#include "tools/builder/demo_art.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/interface_art.h"

const char* const kDemoBriefingTexts[2] = {
    "MISSION 1: FORWARD RELAY\r\n"
    "\r\n"
    "THE RELAY STATION HAS GONE\r\n"
    "SILENT. FLY IN THROUGH THE\r\n"
    "HANGAR DOORS AND FIND OUT\r\n"
    "WHY.\r\n",
    "WATCH FOR THE LAVA PITS:\r\n"
    "THEIR HEAT BURNS THROUGH\r\n"
    "SHIELDS.\r\n"
    "\r\n"
    "GOOD LUCK, PILOT.\r\n",
};
const char* const kDemoFailureText =
    "MISSION FAILED\r\n"
    "\r\n"
    "THE RELAY IS STILL DARK.\r\n"
    "TRY AGAIN.\r\n";

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 240;

}  // namespace

void AddBriefingPicture(InterfaceArt* art, const char* name, const char* caption, Rgb land, uint32_t seed) {
  PictureCanvas canvas(kWidth, kHeight, MenuColour::kBlack);
  DrawStarfield(&canvas, seed);
  DrawPlanet(&canvas, 190, 190, 110, land, {120, 190, 255}, seed + 1);
  TextPainter* text = art->Text(Typeface::Sans, 18);
  if (!text) return;
  text->DrawCentred(&canvas, kWidth / 2, 36, caption, ShadedTextStyle(MenuColour::kAmberLight, MenuColour::kAmber));
  art->AddPicture(name, canvas, kPictureColourKey, true);
}

bool AddBriefingText(ArchiveWriter* archive, const char* name, const char* text) {
  // What follows the "^" is never shown.
  std::string bytes = std::string(text) + "^ notes for the writers\r\n";
  return archive->AddMember(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

bool AddDemoBriefingPages(ArchiveWriter* archive, std::string* error) {
  const BuilderPalette palette = DemoInterfacePalette();
  InterfaceArt art(archive, palette);
  AddBriefingPicture(&art, "BRIEF1.BMP", "FORWARD RELAY", {200, 104, 52}, 61);
  AddBriefingPicture(&art, "BRIEF2.BMP", "LAVA PITS", {230, 70, 30}, 71);
  AddBriefingPicture(&art, "FAIL1.BMP", "MISSION FAILED", {90, 90, 100}, 81);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  if (!AddBriefingText(archive, "BRIEF1.TXT", kDemoBriefingTexts[0]) ||
      !AddBriefingText(archive, "BRIEF2.TXT", kDemoBriefingTexts[1]) ||
      !AddBriefingText(archive, "FAIL1.TXT", kDemoFailureText)) {
    *error = "cannot add the briefing texts";
    return false;
  }
  return true;
}
