// The interface's settings in the profile: the sound switches and channel
// count, the advanced options, the volumes, the mouse and joystick settings
// and the key bindings. Fractions are stored times 1000, truncated toward
// zero; bytes as 0 or 1.
#include "game/build_variant.h"
#include "game/interface_manager.h"
#include "game/key_bindings.h"
#include "game/net_doc.h"
#include "game/settings_values.h"
#include "media/sound_manager.h"
#include "platform/framework/win_app.h"

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kKeys = "Keys";
// The advanced options' values, by box (the channels box is stored by the
// sound settings as a count instead).
struct OptionValue {
  int box;
  const char* name;
};
constexpr OptionValue kOptionValues[] = {
    {CInterface::kOptionTranslucency, "Translucency"}, {CInterface::kOptionSmoke, "SmokeAndFlame"},
    {CInterface::kOptionParticles, "Particles"},       {CInterface::kOptionLights, "Lights"},
    {CInterface::kOptionCollision, "Collision"},
};

int Thousandths(float value) { return static_cast<int>(value * 1000.0f); }

bool IsSoftwareBuild() { return BuildVariantGet().Kind() == BuildKind::Software; }

}  // namespace

void CInterface::LoadSoundSettings() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  soundOn_ = SettingRead(*app, "SoundEnabled") != 0 ? 1 : 0;
  musicOn_ = SettingRead(*app, "MusicEnabled") != 0 ? 1 : 0;
  const int channels = SettingRead(*app, "SoundChannels");
  if (g_pSoundManager) g_pSoundManager->SetChannelCount(channels);
}

void CInterface::LoadOptions() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (const OptionValue& option : kOptionValues) {
    // A stored index beyond the box's texts shows its last one.
    const int index = SettingRead(*app, option.name);
    if (optionBoxes_[option.box]) optionBoxes_[option.box]->SetCurrent(index);
  }
  if (IsSoftwareBuild()) resolution_ = SettingRead(*app, "ScreenRes");
}

void CInterface::SaveOptions() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (const OptionValue& option : kOptionValues)
    if (optionBoxes_[option.box]) app->WriteProfileInt(kSettings, option.name, optionBoxes_[option.box]->GetCurrent());
  if (IsSoftwareBuild()) app->WriteProfileInt(kSettings, "ScreenRes", resolution_);
}

void CInterface::SaveSoundSettings() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  if (g_pSoundManager) {
    app->WriteProfileInt(kSettings, "Music Volume", Thousandths(g_pSoundManager->GetMusicVolume()));
    app->WriteProfileInt(kSettings, "SFX Volume", Thousandths(g_pSoundManager->GetVolume()));
  }
  app->WriteProfileInt(kSettings, "SoundEnabled", soundOn_ ? 1 : 0);
  app->WriteProfileInt(kSettings, "MusicEnabled", musicOn_ ? 1 : 0);
  if (g_pSoundManager) app->WriteProfileInt(kSettings, "SoundChannels", g_pSoundManager->GetChannelCount());
}

void CInterface::SaveControlSettings() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  if (g_pNetDoc) {
    app->WriteProfileInt(kSettings, "MouseSensX", Thousandths(g_pNetDoc->GetMouseSensitivityX()));
    app->WriteProfileInt(kSettings, "MouseSensY", Thousandths(g_pNetDoc->GetMouseSensitivityY()));
    app->WriteProfileInt(kSettings, "MouseSwapUpAndDown", g_pNetDoc->IsMouseSwapped() ? 1 : 0);
    app->WriteProfileInt(kSettings, "JoystickSwapUpAndDown", g_pNetDoc->IsJoystickSwapped() ? 1 : 0);
    app->WriteProfileInt(kSettings, "JoystickEnable", g_pNetDoc->IsJoystickEnabled() ? 1 : 0);
  }
  SetScreen(1);
}

void CInterface::LoadKeyFields() {
  for (int row = 0; row < kKeyActionCount; ++row) {
    const int index = KeyActionOfRow(row).tableIndex;
    for (int slot = 0; slot < 2; ++slot) {
      CKeyBindingField* field = GetKeyField(row, slot);
      if (!field) continue;
      field->SetKey(g_pNetDoc ? g_pNetDoc->GetKeyBinding(index, slot) : 0);
      field->SetSelected(false);
    }
  }
}

void CInterface::SaveKeyBindings() {
  for (int row = 0; row < kKeyActionCount; ++row)
    for (int slot = 0; slot < 2; ++slot)
      if (g_pNetDoc && GetKeyField(row, slot))
        g_pNetDoc->SetKeyBinding(KeyActionOfRow(row).tableIndex, slot, GetKeyField(row, slot)->GetKey());
  CWinApp* app = AfxGetApp();
  if (!app || !g_pNetDoc) return;
  for (int row = 0; row < kKeyActionCount; ++row)
    for (int slot = 0; slot < 2; ++slot)
      app->WriteProfileInt(kKeys, KeyValueName(row, slot),
                           g_pNetDoc->GetKeyBinding(KeyActionOfRow(row).tableIndex, slot));
}
