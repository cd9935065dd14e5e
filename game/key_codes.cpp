#include "game/key_codes.h"

namespace {

struct KeyName {
  int code;
  const char* name;
};

// Backspace (14) has no name on purpose: choosing it clears a binding.
constexpr KeyName kKeyNames[] = {
    {1, "Esc"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "4"}, {6, "5"}, {7, "6"}, {8, "7"}, {9, "8"}, {10, "9"},
    {11, "0"}, {12, "-"}, {13, "="}, {15, "tab"}, {16, "q"}, {17, "w"}, {18, "e"}, {19, "r"}, {20, "t"},
    {21, "y"}, {22, "u"}, {23, "i"}, {24, "o"}, {25, "p"}, {26, "["}, {27, "]"}, {28, "enter"},
    {29, "l.ctrl"}, {30, "a"}, {31, "s"}, {32, "d"}, {33, "f"}, {34, "g"}, {35, "h"}, {36, "j"}, {37, "k"},
    {38, "l"}, {39, ";"}, {40, "'"}, {41, "grave"}, {42, "lshift"}, {43, "\\"}, {44, "z"}, {45, "x"},
    {46, "c"}, {47, "v"}, {48, "b"}, {49, "n"}, {50, "m"}, {51, ","}, {52, "."}, {53, "/"}, {54, "rshift"},
    {55, "num*"}, {56, "l.alt"}, {57, "space"}, {58, "caps"}, {59, "f1"}, {60, "f2"}, {61, "f3"},
    {62, "f4"}, {63, "f5"}, {64, "f6"}, {65, "f7"}, {66, "f8"}, {67, "f9"}, {68, "f10"}, {69, "numlock"},
    {70, "scroll"}, {71, "num7"}, {72, "num8"}, {73, "num9"}, {74, "num-"}, {75, "num4"}, {76, "num5"},
    {77, "num6"}, {78, "+"}, {79, "num1"}, {80, "num2"}, {81, "num3"}, {82, "num0"}, {83, "num."},
    {87, "F11"}, {88, "F12"}, {100, "F13"}, {101, "F14"}, {102, "F15"}, {141, "num="}, {145, "@"},
    {146, ":"}, {147, "_"}, {156, "num.entr"}, {157, "r.ctrl"}, {179, "num,"}, {181, "num/"},
    {183, "sysrq"}, {184, "r.alt"}, {199, "home"}, {200, "up"}, {201, "pgup"}, {203, "left"},
    {205, "right"}, {207, "end"}, {208, "down"}, {209, "pgdown"}, {210, "insert"}, {211, "del"},
    {219, "l.win"}, {220, "r.win"}, {221, "apps"}, {4096, "joy1"}, {4097, "joy2"}, {4098, "joy3"},
    {4099, "joy4"}, {4100, "joy5"}, {4101, "joy6"}, {4102, "joy7"}, {4103, "joy8"}, {4112, "hat up"},
    {4113, "hat down"}, {4114, "hat left"}, {4115, "hat rght"},
};

const char* FindName(int code) {
  for (const KeyName& key : kKeyNames)
    if (key.code == code) return key.name;
  return nullptr;
}

constexpr int kFieldWidth = 9;

}  // namespace

CString KeyCodeName(int code) {
  const char* name = FindName(code);
  return name ? CString(name) : CString("-----");
}

CString KeyFieldText(int code) {
  CString text = " " + KeyCodeName(code);
  while (text.GetLength() < kFieldWidth) text += ' ';
  return text;
}

int KeyCodeForBinding(int code) { return FindName(code) ? code : kKeyCodeNone; }
