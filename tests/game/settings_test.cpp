// The settings file: every setting and key binding written and read back,
// the defaults of a fresh file, and out-of-range values of a hand-written
// one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "game/key_bindings.h"
#include "game/settings_values.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "platform/framework/profile.h"
#include "platform/framework/win_app.h"
#include "tests/game/game_fixture.h"

namespace {

class SettingsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    ui_ = g_pInterface;
    doc_ = g_pNetDoc;
    ASSERT_NE(g_pSoundManager, nullptr);  // the interface's
    path_ = AfxGetApp()->GetProfilePath().Str();
  }
  void TearDown() override {
    AppTest::TearDown();
  }
  // Everything read again, as a new document and a new interface do.
  void ReadAll() {
    doc_->LoadSettings();
    ui_->LoadSoundSettings();
    ui_->LoadOptions();
  }
  void WriteFile(const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    std::ofstream out(path_, std::ios::trunc);
    out << text;
  }

  CInterface* ui_ = nullptr;
  CNetDoc* doc_ = nullptr;
  std::string path_;
};

constexpr const char* kSettingsNames[] = {
    "SoundEnabled", "MusicEnabled", "SoundChannels",         "Music Volume",   "SFX Volume",
    "MouseSensX",   "MouseSensY",   "MouseSwapUpAndDown",    "JoystickSwapUpAndDown", "JoystickEnable",
    "BrightnessCorrection", "Translucency", "SmokeAndFlame", "Particles",      "Lights",
    "Collision",
};

TEST_F(SettingsTest, AFreshFileGivesTheDefaults) {
  EXPECT_EQ(doc_->GetKeyBinding(0, 0), 30);   // a
  EXPECT_EQ(doc_->GetKeyBinding(0, 1), 199);  // home
  EXPECT_EQ(doc_->GetKeyBinding(11, 0), 29);  // both ctrl keys fire
  EXPECT_EQ(doc_->GetKeyBinding(11, 1), 157);
  EXPECT_EQ(doc_->GetKeyBinding(12, 0), 57);  // space and insert launch
  EXPECT_EQ(doc_->GetKeyBinding(12, 1), 210);
  EXPECT_EQ(doc_->GetKeyBinding(4, 0), 208);  // the table holds down before up
  EXPECT_EQ(doc_->GetKeyBinding(5, 0), 200);
  EXPECT_FLOAT_EQ(g_pSoundManager->GetMusicVolume(), 0.8f);
  EXPECT_FLOAT_EQ(g_pSoundManager->GetVolume(), 0.8f);
  EXPECT_FLOAT_EQ(doc_->GetMouseSensitivityX(), 0.5f);
  EXPECT_FLOAT_EQ(doc_->GetMouseSensitivityY(), 0.5f);
  EXPECT_EQ(ui_->GetBrightness(), 32);
  EXPECT_EQ(g_pSoundManager->GetChannelCount(), 8);
  EXPECT_TRUE(ui_->IsSmokeOn());
  EXPECT_EQ(ui_->GetParticleLevel(), 1);
  EXPECT_TRUE(ui_->AreLightsOn());
  EXPECT_FALSE(ui_->IsTranslucencyFull());
  EXPECT_FALSE(ui_->IsDebrisOn());
  EXPECT_TRUE(ui_->IsSoundOn());
  EXPECT_TRUE(ui_->IsMusicOn());
  EXPECT_TRUE(doc_->IsJoystickEnabled());
}

TEST_F(SettingsTest, EverySettingAndKeyIsWrittenAndReadBackEqual) {
  // Each binding its own code, so a mix-up of actions shows.
  const int codes[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21, 22,
                       23, 24, 25, 30, 31, 32, 33, 34, 35, 36, 37, 38, 44, 45, 46, 4096, 4115};
  ui_->LoadKeyFields();
  for (int row = 0; row < kKeyActionCount; ++row)
    for (int slot = 0; slot < 2; ++slot) ui_->GetKeyField(row, slot)->SetKey(codes[row * 2 + slot]);
  ui_->SaveKeyBindings();
  g_pSoundManager->SetMusicVolume(1.0f);  // the slider's top stores 1000
  g_pSoundManager->SetVolume(0.25f);
  g_pSoundManager->SetChannelCount(12);
  doc_->SetMouseSensitivityX(0.75f);
  doc_->SetMouseSensitivityY(0.125f);
  doc_->SetMouseSwap(true);
  doc_->SetJoystickSwap(true);
  doc_->SetJoystickEnable(false);
  ui_->GetOptionBox(CInterface::kOptionTranslucency)->SetCurrent(1);
  ui_->GetOptionBox(CInterface::kOptionSmoke)->SetCurrent(0);
  ui_->GetOptionBox(CInterface::kOptionParticles)->SetCurrent(2);
  ui_->GetOptionBox(CInterface::kOptionLights)->SetCurrent(0);
  ui_->GetOptionBox(CInterface::kOptionCollision)->SetCurrent(1);
  ui_->SaveSoundSettings();
  ui_->OpenMenu(false);
  ui_->SaveControlSettings();
  EXPECT_EQ(ui_->GetScreen(), 1);  // and on to the options screen
  ui_->SaveOptions();
  ui_->SetBrightness(0.5f);

  std::string value;
  for (const char* name : kSettingsNames) EXPECT_TRUE(ProfileRead(path_, "Settings", name, &value)) << name;
  for (int row = 0; row < kKeyActionCount; ++row)
    for (int slot = 0; slot < 2; ++slot)
      EXPECT_TRUE(ProfileRead(path_, "Keys", KeyValueName(row, slot).Str(), &value)) << row << " " << slot;
  ASSERT_TRUE(ProfileRead(path_, "Settings", "Music Volume", &value));
  EXPECT_EQ(value, "1000");
  ASSERT_TRUE(ProfileRead(path_, "Keys", "keyUp1", &value));
  EXPECT_EQ(value, "10");  // row 4 is "up", whatever the table's order

  // Everything changed in memory, then read back.
  for (int index = 0; index < 17; ++index) doc_->SetKeyBinding(index, 0, 0), doc_->SetKeyBinding(index, 1, 0);
  g_pSoundManager->SetMusicVolume(0.0f);
  g_pSoundManager->SetVolume(0.0f);
  g_pSoundManager->SetChannelCount(2);
  doc_->SetMouseSensitivityX(0.0f);
  doc_->SetMouseSwap(false);
  ui_->GetOptionBox(CInterface::kOptionParticles)->SetCurrent(0);
  ui_->SetBrightnessValue(32);
  ReadAll();
  for (int row = 0; row < kKeyActionCount; ++row) {
    ui_->LoadKeyFields();
    for (int slot = 0; slot < 2; ++slot) EXPECT_EQ(ui_->GetKeyField(row, slot)->GetKey(), codes[row * 2 + slot]);
  }
  EXPECT_EQ(doc_->GetKeyBinding(5, 0), 10);  // "up" stays on up
  EXPECT_FLOAT_EQ(g_pSoundManager->GetMusicVolume(), 1.0f);
  EXPECT_FLOAT_EQ(g_pSoundManager->GetVolume(), 0.25f);
  EXPECT_EQ(g_pSoundManager->GetChannelCount(), 12);
  EXPECT_FLOAT_EQ(doc_->GetMouseSensitivityX(), 0.75f);
  EXPECT_FLOAT_EQ(doc_->GetMouseSensitivityY(), 0.125f);
  EXPECT_TRUE(doc_->IsMouseSwapped());
  EXPECT_TRUE(doc_->IsJoystickSwapped());
  EXPECT_FALSE(doc_->IsJoystickEnabled());
  EXPECT_EQ(ui_->GetBrightness(), 64);
  EXPECT_TRUE(ui_->IsTranslucencyFull());
  EXPECT_FALSE(ui_->IsSmokeOn());
  EXPECT_EQ(ui_->GetParticleLevel(), 2);
  EXPECT_FALSE(ui_->AreLightsOn());
  EXPECT_TRUE(ui_->IsDebrisOn());
}

TEST_F(SettingsTest, AHandWrittenFileIsReadByTheSettingsRules) {
  WriteFile(
      "[Keys]\n"
      "keyAccel1=5000\n"        // outside the key codes: its default
      "keyAccel2=-3\n"          // the same
      "keyLeft1=4100\n"         // a joystick button: kept
      "keyLeft2=4116\n"         // just past the joystick keys: default (0)
      "keyFireGun1=255\n"       // the last scan code: kept
      "keyFireGun2=256\n"       // default (157)
      "[Settings]\n"
      "SoundChannels=40\n"      // clamped to 16
      "BrightnessCorrection=200\n"  // kept within 32..96
      "Particles=9\n"           // the box's last text
      "Translucency=-4\n"       // its first
      "Music Volume=1500\n"     // not range-tested
      "MouseSensX=250\n"
      "SoundEnabled=7\n"
      "MusicEnabled=0\n");
  ReadAll();
  EXPECT_EQ(doc_->GetKeyBinding(0, 0), 30);
  EXPECT_EQ(doc_->GetKeyBinding(0, 1), 199);
  EXPECT_EQ(doc_->GetKeyBinding(2, 0), 4100);
  EXPECT_EQ(doc_->GetKeyBinding(2, 1), 0);
  EXPECT_EQ(doc_->GetKeyBinding(11, 0), 255);
  EXPECT_EQ(doc_->GetKeyBinding(11, 1), 157);
  EXPECT_EQ(g_pSoundManager->GetChannelCount(), 16);
  EXPECT_EQ(ui_->GetBrightness(), 96);
  EXPECT_EQ(ui_->GetParticleLevel(), 2);
  EXPECT_FALSE(ui_->IsTranslucencyFull());
  EXPECT_FLOAT_EQ(g_pSoundManager->GetMusicVolume(), 1.5f);
  EXPECT_FLOAT_EQ(doc_->GetMouseSensitivityX(), 0.25f);
  EXPECT_TRUE(ui_->IsSoundOn());
  EXPECT_FALSE(ui_->IsMusicOn());

  WriteFile("[Settings]\nSoundChannels=1\nBrightnessCorrection=5\n");
  ReadAll();
  EXPECT_EQ(g_pSoundManager->GetChannelCount(), 2);
  EXPECT_EQ(ui_->GetBrightness(), 32);
}

}  // namespace

// The settings table names every value the game writes (korvanesw's screen
// resolution only there) and no other, with the defaults a fresh file
// reads: the whole-program settings run takes its list from it.
TEST_F(SettingsTest, TheSettingsTableHoldsEveryValueTheGameWritesWithItsDefault) {
  ui_->SaveSoundSettings();
  ui_->OpenMenu(false);
  ui_->SaveControlSettings();
  ui_->SaveOptions();
  ui_->SetBrightness(0.0f);
  std::set<std::string> written;
  std::ifstream in(path_);
  bool inSettings = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '[') inSettings = line == "[Settings]";
    else if (inSettings && line.find('=') != std::string::npos) written.insert(line.substr(0, line.find('=')));
  }
  std::set<std::string> table;
  for (size_t i = 0; i < kSettingValueCount; ++i) {
    const SettingValue& value = SettingValueAt(i);
    if (!value.softwareOnly) table.insert(value.name);
    // Each default is what the game's own fresh state writes.
    std::string text;
    if (!value.softwareOnly) {
      ASSERT_TRUE(ProfileRead(path_, "Settings", value.name, &text)) << value.name;
      EXPECT_EQ(std::atoi(text.c_str()), value.defaultValue) << value.name;
    }
  }
  EXPECT_EQ(written, table);
  for (const char* name : kSettingsNames) EXPECT_TRUE(table.count(name)) << name;
  EXPECT_EQ(SettingDefault("ScreenRes"), 0);
  EXPECT_EQ(SettingDefault("no such value"), 0);
}
