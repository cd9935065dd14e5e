#include "platform/keys.h"

#include "platform/ascii.h"

namespace {

struct KeyEntry {
  const char* name;
  int scan;
  int vk;
};

constexpr KeyEntry kKeys[] = {
    {"ESCAPE", DIK_ESCAPE, VK_ESCAPE}, {"1", DIK_1, '1'}, {"2", DIK_2, '2'}, {"3", DIK_3, '3'},
    {"4", DIK_4, '4'}, {"5", DIK_5, '5'}, {"6", DIK_6, '6'}, {"7", DIK_7, '7'}, {"8", DIK_8, '8'},
    {"9", DIK_9, '9'}, {"0", DIK_0, '0'}, {"MINUS", DIK_MINUS, VK_OEM_MINUS},
    {"EQUALS", DIK_EQUALS, VK_OEM_PLUS}, {"BACK", DIK_BACK, VK_BACK}, {"TAB", DIK_TAB, VK_TAB},
    {"Q", DIK_Q, 'Q'}, {"W", DIK_W, 'W'}, {"E", DIK_E, 'E'}, {"R", DIK_R, 'R'}, {"T", DIK_T, 'T'},
    {"Y", DIK_Y, 'Y'}, {"U", DIK_U, 'U'}, {"I", DIK_I, 'I'}, {"O", DIK_O, 'O'}, {"P", DIK_P, 'P'},
    {"LBRACKET", DIK_LBRACKET, VK_OEM_4}, {"RBRACKET", DIK_RBRACKET, VK_OEM_6},
    {"RETURN", DIK_RETURN, VK_RETURN}, {"LCONTROL", DIK_LCONTROL, VK_CONTROL}, {"A", DIK_A, 'A'},
    {"S", DIK_S, 'S'}, {"D", DIK_D, 'D'}, {"F", DIK_F, 'F'}, {"G", DIK_G, 'G'}, {"H", DIK_H, 'H'},
    {"J", DIK_J, 'J'}, {"K", DIK_K, 'K'}, {"L", DIK_L, 'L'}, {"SEMICOLON", DIK_SEMICOLON, VK_OEM_1},
    {"APOSTROPHE", DIK_APOSTROPHE, VK_OEM_7}, {"GRAVE", DIK_GRAVE, VK_OEM_3},
    {"LSHIFT", DIK_LSHIFT, VK_SHIFT}, {"BACKSLASH", DIK_BACKSLASH, VK_OEM_5}, {"Z", DIK_Z, 'Z'},
    {"X", DIK_X, 'X'}, {"C", DIK_C, 'C'}, {"V", DIK_V, 'V'}, {"B", DIK_B, 'B'}, {"N", DIK_N, 'N'},
    {"M", DIK_M, 'M'}, {"COMMA", DIK_COMMA, VK_OEM_COMMA}, {"PERIOD", DIK_PERIOD, VK_OEM_PERIOD},
    {"SLASH", DIK_SLASH, VK_OEM_2}, {"RSHIFT", DIK_RSHIFT, VK_SHIFT},
    {"MULTIPLY", DIK_MULTIPLY, VK_MULTIPLY}, {"LMENU", DIK_LMENU, VK_MENU}, {"SPACE", DIK_SPACE, VK_SPACE},
    {"CAPITAL", DIK_CAPITAL, VK_CAPITAL}, {"F1", DIK_F1, VK_F1}, {"F2", DIK_F2, VK_F1 + 1},
    {"F3", DIK_F3, VK_F1 + 2}, {"F4", DIK_F4, VK_F1 + 3}, {"F5", DIK_F5, VK_F1 + 4},
    {"F6", DIK_F6, VK_F1 + 5}, {"F7", DIK_F7, VK_F1 + 6}, {"F8", DIK_F8, VK_F1 + 7},
    {"F9", DIK_F9, VK_F1 + 8}, {"F10", DIK_F10, VK_F1 + 9}, {"NUMLOCK", DIK_NUMLOCK, VK_NUMLOCK},
    {"SCROLL", DIK_SCROLL, VK_SCROLL}, {"NUMPAD7", DIK_NUMPAD7, VK_NUMPAD0 + 7},
    {"NUMPAD8", DIK_NUMPAD8, VK_NUMPAD0 + 8}, {"NUMPAD9", DIK_NUMPAD9, VK_NUMPAD0 + 9},
    {"SUBTRACT", DIK_SUBTRACT, VK_SUBTRACT}, {"NUMPAD4", DIK_NUMPAD4, VK_NUMPAD0 + 4},
    {"NUMPAD5", DIK_NUMPAD5, VK_NUMPAD0 + 5}, {"NUMPAD6", DIK_NUMPAD6, VK_NUMPAD0 + 6},
    {"ADD", DIK_ADD, VK_ADD}, {"NUMPAD1", DIK_NUMPAD1, VK_NUMPAD0 + 1},
    {"NUMPAD2", DIK_NUMPAD2, VK_NUMPAD0 + 2}, {"NUMPAD3", DIK_NUMPAD3, VK_NUMPAD0 + 3},
    {"NUMPAD0", DIK_NUMPAD0, VK_NUMPAD0}, {"DECIMAL", DIK_DECIMAL, VK_DECIMAL},
    {"OEM_102", DIK_OEM_102, VK_OEM_102}, {"F11", DIK_F11, VK_F1 + 10}, {"F12", DIK_F12, VK_F1 + 11},
    {"F13", DIK_F13, VK_F1 + 12}, {"F14", DIK_F14, VK_F1 + 13}, {"F15", DIK_F15, VK_F1 + 14},
    {"NUMPADEQUALS", DIK_NUMPADEQUALS, VK_OEM_NEC_EQUAL}, {"AT", DIK_AT, 0}, {"COLON", DIK_COLON, 0},
    {"UNDERLINE", DIK_UNDERLINE, 0}, {"NUMPADCOMMA", DIK_NUMPADCOMMA, VK_SEPARATOR},
    {"NUMPADENTER", DIK_NUMPADENTER, VK_RETURN}, {"RCONTROL", DIK_RCONTROL, VK_CONTROL},
    {"DIVIDE", DIK_DIVIDE, VK_DIVIDE}, {"SYSRQ", DIK_SYSRQ, VK_SNAPSHOT}, {"RMENU", DIK_RMENU, VK_MENU},
    {"PAUSE", DIK_PAUSE, VK_PAUSE}, {"HOME", DIK_HOME, VK_HOME}, {"UP", DIK_UP, VK_UP},
    {"PRIOR", DIK_PRIOR, VK_PRIOR}, {"LEFT", DIK_LEFT, VK_LEFT}, {"RIGHT", DIK_RIGHT, VK_RIGHT},
    {"END", DIK_END, VK_END}, {"DOWN", DIK_DOWN, VK_DOWN}, {"NEXT", DIK_NEXT, VK_NEXT},
    {"INSERT", DIK_INSERT, VK_INSERT}, {"DELETE", DIK_DELETE, VK_DELETE}, {"LWIN", DIK_LWIN, VK_LWIN},
    {"RWIN", DIK_RWIN, VK_RWIN}, {"APPS", DIK_APPS, VK_APPS},
};

const KeyEntry* FindByScan(int scanCode) {
  for (const KeyEntry& key : kKeys)
    if (key.scan == scanCode) return &key;
  return nullptr;
}

}  // namespace

int ScanCodeFromName(std::string_view name) {
  if (name.size() > 4 && AsciiEqualNoCase(name.substr(0, 4), "DIK_")) name.remove_prefix(4);
  // Friendly aliases for scripts.
  if (AsciiEqualNoCase(name, "ENTER")) return DIK_RETURN;
  if (AsciiEqualNoCase(name, "ESC")) return DIK_ESCAPE;
  if (AsciiEqualNoCase(name, "BACKSPACE")) return DIK_BACK;
  if (AsciiEqualNoCase(name, "PAGEUP")) return DIK_PRIOR;
  if (AsciiEqualNoCase(name, "PAGEDOWN")) return DIK_NEXT;
  for (const KeyEntry& key : kKeys)
    if (AsciiEqualNoCase(name, key.name)) return key.scan;
  return 0;
}

std::string_view ScanCodeName(int scanCode) {
  const KeyEntry* key = FindByScan(scanCode);
  return key ? key->name : "";
}

int VirtualKeyFromScanCode(int scanCode) {
  const KeyEntry* key = FindByScan(scanCode);
  return key ? key->vk : 0;
}

int ScanCodeFromChar(char c) {
  c = AsciiToUpper(c);
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return ScanCodeFromName(std::string_view(&c, 1));
  switch (c) {
    case ' ': return DIK_SPACE;
    case '-': return DIK_MINUS;
    case '=': return DIK_EQUALS;
    case ',': return DIK_COMMA;
    case '.': return DIK_PERIOD;
    case '/': return DIK_SLASH;
    case ';': return DIK_SEMICOLON;
    case '\'': return DIK_APOSTROPHE;
    case '[': return DIK_LBRACKET;
    case ']': return DIK_RBRACKET;
    case '\\': return DIK_BACKSLASH;
    case '`': return DIK_GRAVE;
    case '\r': case '\n': return DIK_RETURN;
    case '\b': return DIK_BACK;
    case '\t': return DIK_TAB;
    default: return 0;
  }
}
