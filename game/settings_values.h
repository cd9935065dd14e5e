#pragma once
// The values of the settings file's section "Settings", every one the game
// reads or writes, with its default: what a value missing from the file
// reads as. Fractions are stored times 1000, switches as 0 or 1, the
// advanced options as their box's index. The section "Keys" is the key
// table's (game/key_bindings.h).
#include <cstddef>

class CWinApp;

struct SettingValue {
  const char* name;
  int defaultValue;
  bool softwareOnly;  // korvanesw's alone ("ScreenRes")
};

inline constexpr size_t kSettingValueCount = 17;

// The values in the order of the settings' screens: sound, advanced
// options, controls, video.
const SettingValue& SettingValueAt(size_t index);

// The default of the value of that name; 0 for a name the table doesn't
// hold.
int SettingDefault(const char* name);

// The value of that name from the application's profile, its default when
// the file holds none.
int SettingRead(CWinApp& app, const char* name);
