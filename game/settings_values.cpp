#include "game/settings_values.h"

#include <cstring>

#include "platform/framework/win_app.h"

namespace {

constexpr SettingValue kValues[kSettingValueCount] = {
    {"SoundEnabled", 1, false},
    {"MusicEnabled", 1, false},
    {"SoundChannels", 8, false},
    {"Music Volume", 800, false},
    {"SFX Volume", 800, false},
    {"Translucency", 0, false},  // 0 stipple, 1 full
    {"SmokeAndFlame", 1, false},
    {"Particles", 1, false},  // 0 off, 1 on, 2 extra
    {"Lights", 1, false},
    {"Collision", 0, false},  // 0 simple, 1 realistic
    {"MouseSensX", 500, false},
    {"MouseSensY", 500, false},
    {"MouseSwapUpAndDown", 0, false},
    {"JoystickSwapUpAndDown", 0, false},
    {"JoystickEnable", 1, false},
    {"BrightnessCorrection", 32, false},  // 32..96
    {"ScreenRes", 0, true},               // 0 640x480, 1 320x240, 2 800x600
};

}  // namespace

const SettingValue& SettingValueAt(size_t index) { return kValues[index]; }

int SettingDefault(const char* name) {
  for (const SettingValue& value : kValues)
    if (std::strcmp(value.name, name) == 0) return value.defaultValue;
  return 0;
}

int SettingRead(CWinApp& app, const char* name) {
  return static_cast<int>(app.GetProfileInt("Settings", name, SettingDefault(name)));
}
