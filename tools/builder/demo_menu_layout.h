#pragma once
// Where the menus put their widgets, as the interface lays them out, and the
// labels the demo's pictures give them. A prefix that several screens show
// ("gbk", "oks" ...) is listed once: the menus put it at the same place. The button pictures are made to
// these sizes; the screen pictures leave room for them and label what the
// menus draw themselves (sliders, lists, text lines).

struct MenuButton {
  const char* prefix;  // state pictures "<prefix>0.bmp" .. "<prefix>3.bmp"
  int x, y;            // where the menus put the button
  int width, height;
  const char* label;  // "^" and "v": an arrow up or down instead of text
};

inline constexpr MenuButton kMenuButtons[] = {
    {"rsi", 218, 166, 204, 34, "NEW GAME"},      {"rmu", 208, 299, 224, 34, "MULTIPLAYER"},
    {"rop", 244, 355, 152, 34, "OPTIONS"},       {"rqt", 273, 408, 94, 34, "QUIT"},
    {"rky", 248, 208, 144, 34, "CONTROLS"},      {"rco", 235, 255, 170, 34, "KEYBOARD"},
    {"rvo", 218, 166, 204, 34, "SOUND"},         {"vid", 208, 299, 224, 34, "VIDEO"},
    {"b-sa", 218, 254, 204, 34, "SAVE GAME"},    {"b-lo", 218, 207, 204, 34, "LOAD GAME"},
    {"okk", 151, 432, 120, 34, "OK"},            {"cnl", 360, 432, 120, 34, "CANCEL"},
    {"ok", 495, 170, 110, 34, "OK"},             {"cac", 466, 316, 130, 34, "CANCEL"},
    {"avn", 224, 354, 192, 34, "ADVANCED"},      {"brf-lft", 350, 290, 110, 30, "< PREV"},
    {"brf-rgt", 476, 290, 110, 30, "NEXT >"},    {"brf-ext", 380, 390, 170, 34, "CONTINUE"},
    {"cock", 238, 342, 164, 34, "COCKPIT"},      {"eig", 433, 292, 164, 34, "800 X 600"},
    {"six", 238, 292, 164, 34, "640 X 480"},     {"thr", 30, 292, 164, 34, "320 X 240"},
    {"gbk", 254, 405, 132, 34, "BACK"},          {"joi", 213, 177, 214, 34, "JOIN GAME"},
    {"nwg", 212, 266, 216, 34, "HOST GAME"},     {"ret", 260, 418, 120, 34, "BACK"},
    {"rook", 218, 207, 204, 34, "ROOKIE"},       {"vet", 218, 254, 204, 34, "VETERAN"},
    {"eli", 208, 299, 224, 34, "ELITE"},         {"cel", 254, 405, 132, 34, "BACK"},
    {"inver", 490, 169, 130, 30, "INVERT Y"},    {"invr", 101, 331, 150, 30, "INVERT STICK"},
    {"ena", 268, 335, 130, 30, "JOYSTICK"},      {"adv", 417, 329, 130, 30, "CALIBRATE"},
    {"tcp", 160, 328, 200, 34, "TCP/IP"},        {"ipx", 218, 268, 204, 34, "IPX"},
    {"ser", 256, 204, 128, 34, "SERIAL"},        {"mod", 236, 144, 168, 34, "MODEM"},
    {"oks", 495, 257, 110, 34, "OK"},            {"sea", 470, 158, 130, 34, "SEARCH"},
    {"cns", 470, 385, 130, 34, "CANCEL"},        {"arrd", 350, 162, 28, 28, "^"},
    {"arru", 350, 392, 28, 28, "v"},             {"okm", 118, 416, 140, 34, "YES"},
    {"canc", 366, 416, 140, 34, "NO"},
};

// The sliders ("sli0.bmp" .. "sli9.bmp", one per knob position) and where
// the menus put them.
inline constexpr int kSliderWidth = 224;
inline constexpr int kSliderHeight = 24;
struct MenuPoint {
  int x, y;
};
inline constexpr MenuPoint kMusicSlider{366, 245};
inline constexpr MenuPoint kSoundSlider{56, 245};
inline constexpr MenuPoint kBrightnessSlider{208, 195};
inline constexpr MenuPoint kMouseXSlider{208, 157};
inline constexpr MenuPoint kMouseYSlider{208, 218};

// The sound and music switches ("son0.BMP" .. "son3.BMP", "mon0.BMP" ..).
inline constexpr int kSwitchWidth = 120;
inline constexpr int kSwitchHeight = 30;
inline constexpr MenuPoint kSoundSwitch{111, 315};
inline constexpr MenuPoint kMusicSwitch{450, 315};
