// The document's settings and key bindings from the profile.
#include <algorithm>

#include "game/interface_manager.h"
#include "game/key_bindings.h"
#include "game/net_doc.h"
#include "game/settings_values.h"
#include "media/sound_manager.h"
#include "platform/framework/win_app.h"

void CNetDoc::LoadSettings() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  // Read in the table's own order, so that "down" lands before "up" and
  // "scroll missile" before "scroll gun" in the table, but by action.
  for (int index = 0; index < 17; ++index) {
    const int row = KeyRowOfTableIndex(index);
    const KeyAction& action = KeyActionOfRow(row);
    for (int slot = 0; slot < 2; ++slot) {
      const int code = static_cast<int>(app->GetProfileInt("Keys", KeyValueName(row, slot), action.defaults[slot]));
      // A code the game has no key for would index nothing: its default.
      keyBindings_[index][slot] = IsKeyCodeInRange(code) ? code : action.defaults[slot];
    }
  }
  // The sensitivities are read as unsigned values.
  mouseSensitivityX_ = static_cast<float>(static_cast<unsigned>(SettingRead(*app, "MouseSensX"))) * 0.001f;
  mouseSensitivityY_ = static_cast<float>(static_cast<unsigned>(SettingRead(*app, "MouseSensY"))) * 0.001f;
  mouseSwap_ = SettingRead(*app, "MouseSwapUpAndDown") != 0 ? 1 : 0;
  joystickSwap_ = SettingRead(*app, "JoystickSwapUpAndDown") != 0 ? 1 : 0;
  joystickEnable_ = SettingRead(*app, "JoystickEnable") != 0 ? 1 : 0;
  const int brightness = SettingRead(*app, "BrightnessCorrection");
  if (g_pInterface) g_pInterface->SetBrightnessValue(std::clamp(brightness, 32, 96));
  const int music = SettingRead(*app, "Music Volume");
  const int effects = SettingRead(*app, "SFX Volume");
  if (g_pSoundManager) {
    g_pSoundManager->SetMusicVolume(static_cast<float>(music) * 0.001f);
    g_pSoundManager->SetVolume(static_cast<float>(effects) * 0.001f);
  }
}
