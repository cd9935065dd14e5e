// The settings run's plan: for every value of the game's settings table
// (game/settings_values.h) and every key of its key table
// (game/key_bindings.h), a new value and the clicks and keys by which a
// player sets it in the menus. A value the plan has no way to set stops
// it, so nothing the game stores is left out.
//   settings_run scripts <program> <change script> <check script>
// writes the two input scripts: the first changes every setting on the
// advanced, sound, controls and video screens and rebinds every key on the
// key screen, then quits from the menus; the second (after a restart)
// shows each of those screens, then flies the demo mission with the new
// accelerate key.
//   settings_run file <program> <settings file>
// checks that the file holds every value as the plan set it.
//   settings_run frames <program> <frame folder> <interface archive>
// checks that the frames show the menus as set: each slider's knob, each
// sound switch and each latch button as the plan left it.
// <program> is korvane3d or korvanesw (which alone stores "ScreenRes").
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/key_bindings.h"
#include "game/key_codes.h"
#include "game/settings_values.h"
#include "media/bmp_member.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "tests/support/png_file.h"

namespace {

// The menus as the player sees them: screens by the button that opens
// them from the options screen, and where their widgets are.
struct Point {
  int x, y;
};
constexpr Point kOptionsButton = {244, 355};  // "rop" on the main screen
constexpr Point kQuitButton = {273, 408};     // "rqt"
constexpr Point kBackButton = {254, 405};     // "gbk" of every options screen
constexpr Point kKeysOkButton = {495, 170};   // "ok" of the key screen

enum class Screen { Advanced, Sound, Controls, Video, Keys };
struct ScreenPlace {
  Screen screen;
  int number;     // as "menu screen N opens" says
  Point opener;   // its button on the options screen
  Point leave;    // the button that stores its values and goes back
};
constexpr ScreenPlace kScreens[] = {
    // The channel count is chosen on the advanced screen and stored as the
    // sound screen is left: the advanced screen comes first.
    {Screen::Advanced, 17, {224, 354}, kBackButton},
    {Screen::Sound, 3, {218, 166}, kBackButton},
    {Screen::Controls, 4, {248, 208}, kBackButton},
    {Screen::Video, 9, {208, 299}, kBackButton},
};

enum class Widget { Slider, Switch, Latch, Box };
// How a player sets one value: clicks on a widget of a screen. A slider
// takes the knob position (0..9) and is 224 wide; a box is clicked
// `clicks` times; a switch or a latch button once.
struct Way {
  const char* name;
  Screen screen;
  Widget widget;
  Point at;
  int clicksOrKnob;
  int stored;            // what the settings file then holds
  const char* picture;   // the slider's, switch's or button's pictures
  int shownState;        // the picture state the frames show then
};
// Slider knob k stores k / 9 x 1000, truncated; the brightness 32 + 64 x
// k / 9. The switches and latch buttons flip their default.
constexpr Way kWays[] = {
    {"SoundEnabled", Screen::Sound, Widget::Switch, {111, 315}, 1, 0, "son", 0},
    {"MusicEnabled", Screen::Sound, Widget::Switch, {450, 315}, 1, 0, "mon", 0},
    {"SoundChannels", Screen::Advanced, Widget::Box, {200, 185}, 2, 12, nullptr, 0},
    {"Music Volume", Screen::Sound, Widget::Slider, {366, 245}, 6, 666, "sli", 6},
    {"SFX Volume", Screen::Sound, Widget::Slider, {56, 245}, 2, 222, "sli", 2},
    {"Translucency", Screen::Advanced, Widget::Box, {200, 255}, 1, 1, nullptr, 0},
    {"SmokeAndFlame", Screen::Advanced, Widget::Box, {200, 275}, 1, 0, nullptr, 0},
    {"Particles", Screen::Advanced, Widget::Box, {200, 295}, 1, 2, nullptr, 0},
    {"Lights", Screen::Advanced, Widget::Box, {200, 315}, 1, 0, nullptr, 0},
    {"Collision", Screen::Advanced, Widget::Box, {200, 335}, 1, 1, nullptr, 0},
    {"MouseSensX", Screen::Controls, Widget::Slider, {208, 157}, 8, 888, "sli", 8},
    {"MouseSensY", Screen::Controls, Widget::Slider, {208, 218}, 1, 111, "sli", 1},
    {"MouseSwapUpAndDown", Screen::Controls, Widget::Latch, {490, 169}, 1, 1, "inver", 3},
    {"JoystickSwapUpAndDown", Screen::Controls, Widget::Latch, {101, 331}, 1, 1, "invr", 3},
    {"JoystickEnable", Screen::Controls, Widget::Latch, {268, 335}, 1, 0, "ena", 1},
    {"BrightnessCorrection", Screen::Video, Widget::Slider, {208, 195}, 3, 53, "sli", 3},
    {"ScreenRes", Screen::Video, Widget::Latch, {433, 292}, 1, 2, "eig", 3},  // 800 x 600
};

// The new keys, one per binding in the key screen's order (row by row,
// first and second key): none a binding's default, none the menus act on
// (Esc leaves the screen) and none that types a word (Shift).
constexpr const char* kNewKeys[2 * kKeyActionCount] = {
    "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "S", "D", "F", "G", "H", "J", "K",
    "L", "X", "C", "V", "B", "N", "M", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0",
};

bool Software(const std::string& program) { return program == "korvanesw"; }

bool Applies(const SettingValue& value, const std::string& program) {
  return !value.softwareOnly || Software(program);
}

const Way* WayOf(const char* name) {
  for (const Way& way : kWays)
    if (std::strcmp(way.name, name) == 0) return &way;
  return nullptr;
}

// Every value of the table that applies to the program has a way, and
// every new key has a scan code that is no default of its binding.
bool PlanCoversEverything() {
  bool ok = true;
  for (size_t i = 0; i < kSettingValueCount; ++i) {
    const SettingValue& value = SettingValueAt(i);
    const Way* way = WayOf(value.name);
    if (!way) {
      std::fprintf(stderr, "settings_run: no way to set \"%s\" in the menus\n", value.name);
      ok = false;
    } else if (way->stored == value.defaultValue) {
      std::fprintf(stderr, "settings_run: \"%s\" would keep its default %d\n", value.name, value.defaultValue);
      ok = false;
    }
  }
  for (int row = 0; row < kKeyActionCount; ++row) {
    for (int slot = 0; slot < 2; ++slot) {
      const int code = ScanCodeFromName(kNewKeys[row * 2 + slot]);
      if (code == 0 || code == KeyActionOfRow(row).defaults[slot] || KeyCodeName(code).IsEmpty()) {
        std::fprintf(stderr, "settings_run: %s is no new key for %s\n", kNewKeys[row * 2 + slot],
                     KeyValueName(row, slot).Str().c_str());
        ok = false;
      }
    }
  }
  return ok;
}

// ---------------------------------------------------------------------------
// The input scripts

class Script {
 public:
  explicit Script(int startMs) : ms_(startMs) {}

  void Comment(const std::string& text) { text_ += "# " + text + "\n"; }
  void Line(const std::string& text) { text_ += std::to_string(ms_) + " " + text + "\n"; }
  void Wait(int ms) { ms_ += ms; }
  // Held for 100 ms: seen down by a frame however long the run's step.
  void Press(const std::string& key) {
    Line("key " + key + " down");
    Wait(100);
    Line("key " + key + " up");
    Wait(150);
  }
  // The cursor goes to the top left first (korvanesw's starts in the
  // middle), then moves by the differences.
  void MoveTo(Point to) {
    if (!known_) {
      Line("mouse move -1000 -1000");
      Wait(100);
      known_ = true;
      at_ = {0, 0};
    }
    Line("mouse move " + std::to_string(to.x - at_.x) + " " + std::to_string(to.y - at_.y));
    at_ = to;
    Wait(100);
  }
  void Click(Point at) {
    MoveTo(at);
    Line("mouse down left");
    Wait(60);
    Line("mouse up left");
    Wait(240);
  }
  // A button or widget clicked a little inside its top left corner.
  void ClickIn(Point corner) { Click({corner.x + 12, corner.y + 8}); }
  const std::string& Text() const { return text_; }

 private:
  int ms_;
  bool known_ = false;
  Point at_{0, 0};
  std::string text_;
};

// The knob position k of a 224-wide slider is under x = left + 3 + k x
// 218 / 10 (and the next 21 pixels).
Point SliderPoint(Point slider, int knob) { return {slider.x + 3 + knob * 218 / 10 + 10, slider.y + 12}; }

// Where the key screen shows row's first (slot 0) or second key.
Point KeyField(int row, int slot) {
  const int y = static_cast<int>(103.0f + static_cast<float>(2 * row) * 10.9f);
  return {(slot == 0 ? 235 : 345) + 4, y + 4};
}

void SetOnScreen(Script* script, Screen screen, const std::string& program) {
  for (size_t i = 0; i < kSettingValueCount; ++i) {
    const SettingValue& value = SettingValueAt(i);
    const Way* way = WayOf(value.name);
    if (!Applies(value, program) || way->screen != screen) continue;
    script->Comment(std::string(value.name) + ": " + std::to_string(way->stored));
    if (way->widget == Widget::Slider) {
      script->Click(SliderPoint(way->at, way->clicksOrKnob));
    } else {
      for (int n = 0; n < way->clicksOrKnob; ++n) script->ClickIn(way->at);
    }
  }
}

std::string ChangeScript(const std::string& program) {
  Script script(0);
  script.Comment("Generated by settings_run from the game's settings and key tables: every");
  script.Comment("setting changed through the menus, every key bound anew, then a quit.");
  script.Comment("A joystick, so that the controls screen's joystick buttons work.");
  script.Line("joystick plug");
  script.Wait(4600);
  script.Comment("Space ends korvanesw's burn-out of the title as the main menu opens.");
  script.Press("SPACE");
  script.Wait(500);
  script.ClickIn(kOptionsButton);
  for (const ScreenPlace& place : kScreens) {
    script.ClickIn(place.opener);
    SetOnScreen(&script, place.screen, program);
    script.ClickIn(place.leave);
  }
  script.Comment("The key screen: each field clicked, then its new key pressed; ok stores them.");
  script.ClickIn({235, 255});  // "rco"
  for (int row = 0; row < kKeyActionCount; ++row) {
    for (int slot = 0; slot < 2; ++slot) {
      script.Click(KeyField(row, slot));
      script.Press(kNewKeys[row * 2 + slot]);
    }
  }
  script.ClickIn(kKeysOkButton);
  script.ClickIn(kBackButton);
  script.ClickIn(kQuitButton);
  script.Wait(2000);
  script.Line("quit");
  return script.Text();
}

std::string CheckScript() {
  Script script(0);
  script.Comment("Generated by settings_run: after a restart, each settings screen shown");
  script.Comment("(left with Esc), then the demo mission flown with the new accelerate key.");
  script.Line("joystick plug");
  script.Wait(4600);
  script.Press("SPACE");
  script.Wait(500);
  script.ClickIn(kOptionsButton);
  // On each screen the mouse moves off its widgets (korvanesw shows a
  // screen it drew once the next input comes).
  for (const ScreenPlace& place : kScreens) {
    script.ClickIn(place.opener);
    script.MoveTo({620, 20});
    script.Wait(500);
    script.Press("ESCAPE");
  }
  script.ClickIn({235, 255});  // "rco"
  script.MoveTo({620, 20});
  script.Wait(500);
  script.Press("ESCAPE");
  script.Press("ESCAPE");
  script.Comment("The mission through its briefing (the typed word with the left Shift).");
  script.Line("key LSHIFT down");
  script.Wait(100);
  script.Line("type zephyrway01");
  script.Wait(300);
  script.Line("key LSHIFT up");
  script.Wait(1200);
  script.Press("ESCAPE");
  script.Wait(4500);
  script.Comment("Six seconds of the new accelerate key.");
  script.Line(std::string("key ") + kNewKeys[0] + " down");
  script.Wait(6000);
  script.Line(std::string("key ") + kNewKeys[0] + " up");
  script.Wait(1000);
  script.Line("quit");
  return script.Text();
}

bool WriteText(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// ---------------------------------------------------------------------------
// The settings file

std::map<std::string, std::string> ReadSection(const char* path, const std::string& section) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + section + "]";
    } else if (inside && line.find('=') != std::string::npos) {
      values[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
  }
  return values;
}

int CheckFile(const std::string& program, const char* path) {
  int wrong = 0;
  const auto settings = ReadSection(path, "Settings");
  for (size_t i = 0; i < kSettingValueCount; ++i) {
    const SettingValue& value = SettingValueAt(i);
    if (!Applies(value, program)) continue;
    const auto found = settings.find(value.name);
    const std::string expected = std::to_string(WayOf(value.name)->stored);
    const std::string got = found == settings.end() ? "(missing)" : found->second;
    std::printf("settings_run: Settings %s = %s, set %s\n", value.name, got.c_str(), expected.c_str());
    if (got != expected) ++wrong;
  }
  const auto keys = ReadSection(path, "Keys");
  for (int row = 0; row < kKeyActionCount; ++row) {
    for (int slot = 0; slot < 2; ++slot) {
      const std::string name = KeyValueName(row, slot).Str();
      const auto found = keys.find(name);
      const std::string expected = std::to_string(ScanCodeFromName(kNewKeys[row * 2 + slot]));
      const std::string got = found == keys.end() ? "(missing)" : found->second;
      std::printf("settings_run: Keys %s = %s, set %s (%s)\n", name.c_str(), got.c_str(), expected.c_str(),
                  kNewKeys[row * 2 + slot]);
      if (got != expected) ++wrong;
    }
  }
  std::printf("settings_run: %d of the values are not as set\n", wrong);
  return wrong == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------
// The menus' frames

bool LoadPicture(const char* archive, const std::string& member, BmpMember* out) {
  return BmpMemberLoad(archive, member.c_str(), out) == BmpMemberStatus::Loaded;
}

// A colour channel as the display shows it at a brightness (32..96): the
// palette's rule, (brightness x (c + 2) - 64) / 32 within 0..255.
int Brightened(int c, int brightness) { return std::clamp((brightness * (c + 2) - 64) >> 5, 0, 255); }

// The mean difference per channel between a picture, at the brightness,
// and the frame's pixels under it at (x, y).
double MeanDifference(const RgbFrame& frame, const BmpMember& picture, Point at, int brightness) {
  long sum = 0, count = 0;
  for (int y = 0; y < picture.image.height && at.y + y < frame.height; ++y) {
    const uint8_t* row = picture.Pixels() + static_cast<size_t>(picture.image.height - 1 - y) * picture.image.rowBytes;
    for (int x = 0; x < picture.image.width && at.x + x < frame.width; ++x) {
      const int index = row[x] < picture.image.colourCount ? row[x] : 0;
      const uint8_t* c = picture.Colour(index);
      const Rgb8 p = frame.At(at.x + x, at.y + y);
      sum += std::abs(p.r - Brightened(c[2], brightness)) + std::abs(p.g - Brightened(c[1], brightness)) +
             std::abs(p.b - Brightened(c[0], brightness));
      count += 3;
    }
  }
  return count ? static_cast<double>(sum) / static_cast<double>(count) : 1e9;
}

// Some frame shows, at the widget's place, the picture of the state the
// plan left it in (at the brightness set): nearer than any other state's
// picture, and alike within 6 per channel on average.
int CheckFrames(const std::string& program, const char* folder, const char* archive) {
  const auto files = PngFilesIn(folder);
  std::vector<RgbFrame> frames;
  for (const std::string& file : files) {
    RgbFrame frame;
    if (ReadPngRgb(file, &frame) && frame.width == 640 && frame.height == 480) frames.push_back(std::move(frame));
  }
  // korvanesw's menus show their pictures at the brightness the plan set;
  // korvane3d's have no palette of their own after the opening video, and
  // the brightness acts on the game's view alone.
  const int brightness = Software(program) ? WayOf("BrightnessCorrection")->stored : 32;
  int missing = 0;
  for (size_t i = 0; i < kSettingValueCount; ++i) {
    const SettingValue& value = SettingValueAt(i);
    const Way* way = WayOf(value.name);
    if (!Applies(value, program) || !way->picture) continue;
    const int states = way->widget == Widget::Slider ? 10 : 4;
    std::vector<BmpMember> pictures(states);
    for (int state = 0; state < states; ++state) {
      const std::string member = std::string(way->picture) + std::to_string(state) + ".bmp";
      if (!LoadPicture(archive, member, &pictures[state])) {
        std::printf("settings_run: %s of %s can't be read\n", member.c_str(), archive);
        return 2;
      }
    }
    bool shown = false;
    for (const RgbFrame& frame : frames) {
      int best = -1;
      double bestDifference = 1e9;
      for (int state = 0; state < states; ++state) {
        const double d = MeanDifference(frame, pictures[state], way->at, brightness);
        if (d < bestDifference) bestDifference = d, best = state;
      }
      if (best == way->shownState && bestDifference < 6.0) {
        shown = true;
        break;
      }
    }
    std::printf("settings_run: %s %s as set (%s%d at %d, %d)\n", value.name, shown ? "shows" : "does not show",
                way->picture, way->shownState, way->at.x, way->at.y);
    if (!shown) ++missing;
  }
  std::printf("settings_run: %d widgets not shown as set in %zu frames\n", missing, frames.size());
  return missing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: settings_run scripts <program> <change script> <check script>\n"
                 "       settings_run file <program> <settings file>\n"
                 "       settings_run frames <program> <frame folder> <interface archive>\n");
    return 2;
  }
  const std::string mode = argv[1];
  const std::string program = argv[2];
  if (!PlanCoversEverything()) return 1;
  if (mode == "scripts" && argc == 5)
    return WriteText(argv[3], ChangeScript(program)) && WriteText(argv[4], CheckScript()) ? 0 : 1;
  if (mode == "file" && argc == 4) return CheckFile(program, argv[3]);
  if (mode == "frames" && argc == 5) return CheckFrames(program, argv[3], argv[4]);
  std::fprintf(stderr, "settings_run: unknown mode or arguments\n");
  return 2;
}
