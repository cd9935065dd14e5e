// The menu screens: what each one shows, how it is made current, drawn and
// hovered, and its per-frame update. The clicks, keys and characters, the
// briefings and the videos are the menu actions' and the briefings' work.
#include <algorithm>
#include <initializer_list>

#include "game/build_variant.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/joystick.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/interface_display.h"
#include "media/rect8.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"

namespace {

constexpr const char* kArchive = "INTERFC.CAN";
constexpr int kScreenCount = 19;
constexpr int kPictureBriefingPage = 9;
constexpr unsigned char kFillColour = 237;

// The fixed pictures by index (9, the briefing page, is loaded by the
// briefings; 19 is not used).
constexpr const char* kPictureNames[20] = {
    "mns1.bmp", "ops.bmp",    "multi.bmp",  "soundop.bmp", "trlbk.bmp",  "savehi.bmp", "loadhi.bmp",
    "keycfg.bmp", "brf-main.bmp", nullptr,  "end.bmp",     "diff.bmp",   "search.bmp", "ship.bmp",
    "avanc.bmp", "cursor.bmp", "back.bmp",  "vidop.bmp",   "help.bmp",   nullptr,
};
// Each screen's background picture.
constexpr int kScreenPicture[kScreenCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 17, 10, 11, 2, 12, 2, 13, 8, 14, 18};

struct ButtonPlace {
  const char* prefix;
  int x, y;
};
// The 49 buttons in the object's order (number = index + 1).
constexpr ButtonPlace kButtons[49] = {
    {"rsi", 218, 166},     {"rmu", 208, 299},     {"rop", 244, 355},     {"rqt", 273, 408},
    {"rky", 248, 208},     {"rco", 235, 255},     {"rvo", 218, 166},     {"vid", 208, 299},
    {"b-sa", 218, 254},    {"b-lo", 218, 207},    {"okk", 151, 432},     {"cnl", 360, 432},
    {"ok", 495, 170},      {"cac", 466, 316},     {"avn", 224, 354},     {"brf-lft", 350, 290},
    {"brf-rgt", 476, 290}, {"brf-ext", 380, 390}, {"cock", 238, 342},    {"eig", 433, 292},
    {"six", 238, 292},     {"thr", 30, 292},      {"gbk", 254, 405},     {"joi", 213, 177},
    {"nwg", 212, 266},     {"ret", 260, 418},     {"rook", 218, 207},    {"vet", 218, 254},
    {"eli", 208, 299},     {"cel", 254, 405},     {"inver", 490, 169},   {"invr", 101, 331},
    {"ena", 268, 335},     {"adv", 417, 329},     {"gbk", 254, 405},     {"tcp", 160, 328},
    {"ipx", 218, 268},     {"ser", 256, 204},     {"mod", 236, 144},     {"ret", 260, 418},
    {"oks", 495, 257},     {"sea", 470, 158},     {"cns", 470, 385},     {"arrd", 350, 162},
    {"arru", 350, 392},    {"oks", 495, 257},     {"cns", 470, 385},     {"okm", 118, 416},
    {"canc", 366, 416},
};

// Button numbers by name, where the screens' rules need them.
enum Button : int {
  kLoad = 10,
  kSave = 9,
  kBriefingLeft = 16,
  kBriefingRight = 17,
  kCockpit = 19,
  kRes800 = 20,
  kRes640 = 21,
  kRes320 = 22,
  kMouseInvert = 31,
  kStickInvert = 32,
  kStickEnable = 33,
  kStickAdvanced = 34,
  kSerial = 38,
  kModem = 39,
  kSearch = 42,
};

// The buttons each screen shows and gives the mouse point to. "six" on the
// video screen and the connection buttons on the IP-address screen are
// drawn apart: they take no point.
const std::initializer_list<int> kScreenButtons[kScreenCount] = {
    {1, 2, 3, 4, 9, 10},        // 0 main
    {5, 6, 7, 8, 15, 23},       // 1 options
    {24, 25, 26},               // 2 network
    {23},                       // 3 sound
    {31, 32, 33, 34, 35},       // 4 controls
    {11, 12},                   // 5 save
    {11, 12},                   // 6 load
    {13, 14},                   // 7 key bindings
    {16, 17, 18},               // 8 briefing
    {19, 23},                   // 9 video
    {48, 49},                   // 10 confirm
    {27, 28, 29, 30},           // 11 difficulty
    {36, 37, 38, 39, 40},       // 12 connection
    {41, 42, 43, 44, 45},       // 13 sessions ("sea" only when joining)
    {},                         // 14 IP address
    {46, 47},                   // 15 ship
    {16, 17, 18},               // 16 failure briefing
    {23},                       // 17 advanced
    {},                         // 18 help
};
constexpr std::initializer_list<int> kConnectionButtons = {36, 37, 38, 39, 40};
constexpr std::initializer_list<int> kResolutionButtons = {20, 21, 22};  // korvanesw: 800x600, 640x480, 320x240

bool IsSoftwareBuild() { return BuildVariantGet().Kind() == BuildKind::Software; }

bool ValidScreen(int screen) { return screen >= 0 && screen < kScreenCount; }

// The resolution each of korvanesw's resolution buttons sets.
int ResolutionOf(int button) { return button == kRes640 ? 0 : button == kRes320 ? 1 : 2; }

}  // namespace

// ---------------------------------------------------------------------------
// Loading

void CInterface::LoadScreens() {
  for (int i = 0; i < 20; ++i)
    if (kPictureNames[i]) backgrounds_[i].Load(kPictureNames[i], kArchive, true);
  for (int i = 0; i < 49; ++i) buttons_[i].Load(kButtons[i].x, kButtons[i].y, kButtons[i].prefix, kArchive);

  const struct {
    int index, x, y;
  } sliders[] = {{kSliderMusic, 366, 245},
                 {kSliderSound, 56, 245},
                 {kSliderBrightness, 208, 195},
                 {kSliderMouseX, 208, 157},
                 {kSliderMouseY, 208, 218}};
  for (const auto& slider : sliders) sliders_[slider.index].Load(slider.x, slider.y, "sli", kArchive);

  const struct {
    int index, x, y;
    std::initializer_list<const char*> texts;
  } boxes[] = {
      {kOptionTranslucency, 200, 255, {" translucency: stipple ", " translucency:  full   "}},
      {kOptionSmoke, 200, 275, {" smoke and flame:  off ", " smoke and flame:  on  "}},
      {kOptionParticles, 200, 295, {" particles:   off  ", " particles:   on   ", " particles:  extra "}},
      {kOptionLights, 200, 315, {"    lights:  off ", "    lights:  on  "}},
      {kOptionCollision, 200, 335, {" collision:  simple   ", " collision: realistic "}},
      {kOptionChannels,
       200,
       185,
       {" channels:  4  ", " channels:  6  ", " channels:  8  ", " channels:  10 ", " channels:  12 ",
        " channels:  14 ", " channels:  16 "}},
  };
  for (const auto& box : boxes) {
    auto text = box.texts.begin();
    optionBoxes_[box.index] = std::make_unique<CTextBox>(box.x, box.y, *text);
    for (++text; text != box.texts.end(); ++text) optionBoxes_[box.index]->AddText(*text);
  }
  soundList_ = std::make_unique<CPictureList>(111, 315, "son", 2);
  musicList_ = std::make_unique<CPictureList>(450, 315, "mon", 2);

  const char* const fonts[4] = {"FONT_MD.BMP", "FONT_MD1.BMP", "FONT_MD2.BMP", "FONT_MD3.BMP"};
  for (int i = 0; i < 4; ++i) {
    fonts_[i].SetGlyphWidth(8);
    fonts_[i].Load(fonts[i], kArchive);
  }
  CBitmapFont* font = &fonts_[0];
  editLines_[kLineIpAddress] = std::make_unique<CEditLine>(260, 380, 32, font);
  editLines_[kLineSessionName] = std::make_unique<CEditLine>(124, 132, 27, font);
  editLines_[kLinePlayerName] = std::make_unique<CEditLine>(228, 121, 30, font);
  savedGames_ = std::make_unique<CSavedGameList>(155, 151, 484, 389);
  missionList_ = std::make_unique<CMissionList>(120, 167, 334, 429);
  missionList_->SetSessions(&g_Net.GetSessionList(), joining_ != 0);
  stylePickers_[0] = std::make_unique<CStylePicker>(72, 222, 16, 16, 28, 8);
  stylePickers_[1] = std::make_unique<CStylePicker>(72, 341, 16, 16, 28, 8);
  shipStyles_[0] = shipStyles_[1] = 0;
  for (int row = 0; row < 17; ++row) {
    const int y = static_cast<int>(103.0f + static_cast<float>(2 * row) * 10.9f);
    keyFields_[row * 2] = std::make_unique<CKeyBindingField>(235, y, font);
    keyFields_[row * 2 + 1] = std::make_unique<CKeyBindingField>(345, y, font);
  }
  LayOutBriefingText();
  LoadOptions();
}

void CInterface::LayOutBriefingText() {
  // The font loader refuses a sheet without rows; the layout never divides
  // by a zero height or width all the same.
  briefingLineHeight_ = std::max(1, fonts_[0].GetGlyphHeight());
  briefingLinesPerPage_ = 339 / briefingLineHeight_;
  briefingCharsPerLine_ = 246 / std::max(1, fonts_[0].GetGlyphWidth());
}

// ---------------------------------------------------------------------------
// Making a screen current

std::vector<CPictureButton*> CInterface::ScreenButtons(int screen) {
  std::vector<CPictureButton*> buttons;
  if (!ValidScreen(screen)) return buttons;
  for (int number : kScreenButtons[screen]) {
    if (number == kSearch && !joining_) continue;
    buttons.push_back(&GetButton(number));
  }
  return buttons;
}

void CInterface::SetScreen(int screen) {
  screen_ = screen;
  // Whole-program runs read where a run got to from these lines.
  CString line;
  line.Format("korvane: menu screen %d opens\n", screen);
  OutputDebugString(line);
  ResetCursorRect();
  ClearKeys();
  for (CPictureButton* button : ScreenButtons(screen)) button->Reset();
  if (screen == 14)
    for (int number : kConnectionButtons) GetButton(number).Reset();
  if (screen == 9) {
    GetButton(kRes640).Reset();
    if (IsSoftwareBuild())
      for (int number : kResolutionButtons) GetButton(number).Reset();
  }
  switch (screen) {
    case 2:
      joining_ = 1;
      break;
    case 3:
      if (g_pSoundManager) {
        sliders_[kSliderMusic].SetFraction(g_pSoundManager->GetMusicVolume());
        sliders_[kSliderSound].SetFraction(g_pSoundManager->GetVolume());
      }
      if (soundList_) soundList_->SetCurrent(soundOn_);
      if (musicList_) musicList_->SetCurrent(musicOn_);
      break;
    case 4:
      if (g_pNetDoc) {
        sliders_[kSliderMouseX].SetFraction(g_pNetDoc->GetMouseSensitivityX());
        sliders_[kSliderMouseY].SetFraction(g_pNetDoc->GetMouseSensitivityY());
      }
      break;
    case 5:
    case 6:
      if (savedGames_) savedGames_->Fill(screen == 5);
      break;
    case 7:
      LoadKeyFields();
      break;
    case 9:
      sliders_[kSliderBrightness].SetFraction(static_cast<float>(brightness_ - 32) / 64.0f);
      break;
    case 11:
      g_Net.Close();
      break;
    case 12:
      connectionType_ = 0;
      break;
    case 13:
      if (missionList_) {
        missionList_->SetSessions(&g_Net.GetSessionList(), joining_ != 0);
        missionList_->Reset();
      }
      g_Net.ClearSessions();
      if (joining_) sessionName_.Empty();
      if (editLines_[kLineSessionName]) editLines_[kLineSessionName]->SetText(sessionName_);
      chosenMission_ = 0;
      break;
    case 14:
      if (editLines_[kLineIpAddress]) editLines_[kLineIpAddress]->SetText(ipAddress_);
      break;
    case 15:
      if (editLines_[kLinePlayerName]) editLines_[kLinePlayerName]->SetText(playerName_);
      for (int i = 0; i < 2; ++i)
        if (stylePickers_[i]) stylePickers_[i]->SetChosen(shipStyles_[i]);
      break;
    case 17:
      if (optionBoxes_[kOptionChannels] && g_pSoundManager)
        optionBoxes_[kOptionChannels]->SetCurrent((g_pSoundManager->GetChannelCount() - 4) / 2);
      break;
    default:
      break;
  }
  RefreshButtonFlags();
  if (window_) window_->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CInterface::RefreshButtonFlags() {
  switch (screen_) {
    case 0: {
      const bool network = IsNetworkGame();
      GetButton(kLoad).SetDisabled(!g_pNetDoc || network);
      GetButton(kSave).SetDisabled(!g_pNetDoc || !g_pNetDoc->IsGameRunning() || network);
      break;
    }
    case 4: {
      GetButton(kMouseInvert).SetLatch(g_pNetDoc && g_pNetDoc->IsMouseSwapped());
      const bool stick = g_JoystickPresent.load() != 0;
      GetButton(kStickInvert).SetDisabled(!stick);
      GetButton(kStickEnable).SetDisabled(!stick);
      if (stick) {
        GetButton(kStickInvert).SetLatch(g_pNetDoc && g_pNetDoc->IsJoystickSwapped());
        GetButton(kStickEnable).SetLatch(g_pNetDoc && g_pNetDoc->IsJoystickEnabled());
      }
      GetButton(kStickAdvanced).SetDisabled(true);
      break;
    }
    case 8:
    case 16:
      GetButton(kBriefingLeft).SetDisabled(briefingPage_ < 1);
      GetButton(kBriefingRight).SetDisabled(briefingPage_ >= lastBriefingPage_);
      break;
    case 9:
      GetButton(kCockpit).SetLatch(cockpitShown_ != 0);
      if (IsSoftwareBuild())
        for (int number : kResolutionButtons) GetButton(number).SetLatch(resolution_ == ResolutionOf(number));
      break;
    case 12:
    case 14:
      GetButton(kSerial).SetDisabled(true);
      GetButton(kModem).SetDisabled(true);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Drawing

void CInterface::DrawScreen() {
  if (endingPlaying_) return;
  const int screen = screen_;
  backgrounds_[ValidScreen(screen) ? kScreenPicture[screen] : 0].DrawAt(0, 0);
  if (!ValidScreen(screen)) return;
  RefreshButtonFlags();
  if (screen == 14) {
    fonts_[0].DrawText("ip address:", 160, 380, true);
    FillRect8(257, 378, 519, 398, kFillColour);
    for (int number : kConnectionButtons) GetButton(number).Draw();
  }
  for (CPictureButton* button : ScreenButtons(screen)) button->Draw();
  switch (screen) {
    case 0:
      if (g_pNetDoc) MenuSmallFont().DrawText("v1.02", 610, 470, false);
      break;
    case 3:
      sliders_[kSliderMusic].Draw();
      sliders_[kSliderSound].Draw();
      if (soundList_) soundList_->Draw();
      if (musicList_) musicList_->Draw();
      break;
    case 4:
      sliders_[kSliderMouseX].Draw();
      sliders_[kSliderMouseY].Draw();
      break;
    case 5:
    case 6:
      if (savedGames_) savedGames_->Draw();
      break;
    case 7:
      for (auto& field : keyFields_)
        if (field) field->Draw(true);
      break;
    case 8:
    case 16:
      // The page's picture; its text is typed again from its start.
      if (backgrounds_[kPictureBriefingPage].IsLoaded()) backgrounds_[kPictureBriefingPage].DrawAt(336, 29);
      DrawBriefingText(true);
      break;
    case 9:
      sliders_[kSliderBrightness].Draw();
      if (IsSoftwareBuild()) {
        for (int number : kResolutionButtons) GetButton(number).Draw();
      } else {
        GetButton(kRes640).Draw();  // shown only: it takes no point in korvane3d
      }
      break;
    case 13:
      if (missionList_) {
        missionList_->SetSessions(&g_Net.GetSessionList(), joining_ != 0);
        missionList_->Draw(true);
      }
      if (editLines_[kLineSessionName]) editLines_[kLineSessionName]->Draw(joining_ != 0);
      break;
    case 14:
      if (editLines_[kLineIpAddress]) editLines_[kLineIpAddress]->Draw(false);
      break;
    case 15:
      if (editLines_[kLinePlayerName]) editLines_[kLinePlayerName]->Draw(false);
      for (auto& picker : stylePickers_)
        if (picker) picker->Draw();
      break;
    case 17:
      for (auto& box : optionBoxes_)
        if (box) box->Draw();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// The mouse

void CInterface::OnMouseMove(UINT /*flags*/, int x, int y) {
  // korvane3d's menus follow their own cursor; korvanesw's the window's.
  if (!IsSoftwareBuild()) {
    PollMouse();
    x = cursorX_;
    y = cursorY_;
  }
  const int screen = screen_;
  if (!ValidScreen(screen) || screen == 14 || screen == 18) return;
  for (CPictureButton* button : ScreenButtons(screen)) button->SetMouse(x, y);
  for (auto& slider : sliders_) slider.SetMouse(x, y);
  switch (screen) {
    case 3:
      if (soundList_) soundList_->SetMouse(x, y);
      if (musicList_) musicList_->SetMouse(x, y);
      break;
    case 4:
      GetButton(kStickAdvanced).SetDisabled(true);
      break;
    case 5:
    case 6:
      if (savedGames_) savedGames_->SetMouse(x, y);
      break;
    case 7:
      for (auto& field : keyFields_)
        if (field) field->SetHot(field->HitTest(x, y));
      break;
    case 9:
      if (IsSoftwareBuild())
        for (int number : kResolutionButtons) GetButton(number).SetMouse(x, y);
      break;
    case 13:
      if (missionList_) missionList_->SetMouse(x, y);
      break;
    case 15:
      for (auto& picker : stylePickers_)
        if (picker) picker->SetMouse(x, y);
      break;
    case 17:
      for (auto& box : optionBoxes_)
        if (box) box->SetMouse(x, y);
      break;
    default:
      break;
  }
}
