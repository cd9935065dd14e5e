// The document's settings and key bindings from the profile.
#include <algorithm>

#include "game/interface_manager.h"
#include "game/key_bindings.h"
#include "game/net_doc.h"
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
  mouseSensitivityX_ = static_cast<float>(app->GetProfileInt("Settings", "MouseSensX", 500)) * 0.001f;
  mouseSensitivityY_ = static_cast<float>(app->GetProfileInt("Settings", "MouseSensY", 500)) * 0.001f;
  mouseSwap_ = app->GetProfileInt("Settings", "MouseSwapUpAndDown", 0) != 0 ? 1 : 0;
  joystickSwap_ = app->GetProfileInt("Settings", "JoystickSwapUpAndDown", 0) != 0 ? 1 : 0;
  joystickEnable_ = app->GetProfileInt("Settings", "JoystickEnable", 1) != 0 ? 1 : 0;
  const int brightness = static_cast<int>(app->GetProfileInt("Settings", "BrightnessCorrection", 32));
  if (g_pInterface) g_pInterface->SetBrightnessValue(std::clamp(brightness, 32, 96));
  const int music = static_cast<int>(app->GetProfileInt("Settings", "Music Volume", 800));
  const int effects = static_cast<int>(app->GetProfileInt("Settings", "SFX Volume", 800));
  if (g_pSoundManager) {
    g_pSoundManager->SetMusicVolume(static_cast<float>(music) * 0.001f);
    g_pSoundManager->SetVolume(static_cast<float>(effects) * 0.001f);
  }
}
