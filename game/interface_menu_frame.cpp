// The menu frame: each screen's per-frame update (its buttons' states, its
// sliders applied at once, its lists, lines and fields), korvane3d's
// software cursor around it, and the key capture of the key-binding screen.
#include "game/build_variant.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/joystick.h"
#include "game/key_codes.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"

namespace {

constexpr int kPictureBriefingPage = 9;
// korvanesw's resolution buttons on the video screen.
constexpr int kResolutionButtons[] = {20, 21, 22};

bool IsSoftwareBuild() { return BuildVariantGet().Kind() == BuildKind::Software; }

bool ValidScreen(int screen) { return screen >= 0 && screen <= 18; }

}  // namespace

void CInterface::MenuFrame() {
  // In a network game the world keeps running behind the menu.
  if (IsNetworkGame() && g_pNetDoc && g_pNetDoc->IsGameRunning()) {
    UpdateGameTime();
    if (CNetView* view = g_pNetDoc->GetView()) view->StepSimulation();
  }
  // While the game's window lacks the keyboard focus the menu stands still:
  // no mouse is polled, no widget changes, no cursor is drawn.
  if (g_pNetDoc && !g_pNetDoc->HasInputFocus()) return;
  RestoreSurfaces(false);
  if (endingPlaying_) return;
  const bool softwareCursor = !IsSoftwareBuild();
  if (softwareCursor) {
    RestoreUnderCursor();
    PollMouse();
  }
  const int screen = screen_;
  const bool down = mouseButtonDown_ != 0;
  if (ValidScreen(screen)) {
    RefreshButtonFlags();
    for (CPictureButton* button : ScreenButtons(screen)) button->SetState(down);
    if (screen == 9 && IsSoftwareBuild())
      for (int number : kResolutionButtons) GetButton(number).SetState(down);
  }
  switch (screen) {
    case 3:
      if (sliders_[kSliderMusic].SetSliderPos(down) && g_pSoundManager)
        g_pSoundManager->SetMusicVolume(sliders_[kSliderMusic].GetFraction());
      if (sliders_[kSliderSound].SetSliderPos(down) && g_pSoundManager) {
        g_pSoundManager->SetVolume(sliders_[kSliderSound].GetFraction());
        g_pSoundManager->PlayConfirm();  // heard at the new level
      }
      if (soundList_) soundList_->Draw();
      if (musicList_) musicList_->Draw();
      break;
    case 4:
      if (sliders_[kSliderMouseX].SetSliderPos(down) && g_pNetDoc)
        g_pNetDoc->SetMouseSensitivityX(sliders_[kSliderMouseX].GetFraction());
      if (sliders_[kSliderMouseY].SetSliderPos(down) && g_pNetDoc)
        g_pNetDoc->SetMouseSensitivityY(sliders_[kSliderMouseY].GetFraction());
      break;
    case 5:
    case 6:
      if (savedGames_) savedGames_->Update(down);
      break;
    case 7:
      CaptureKey(0);
      for (auto& field : keyFields_)
        if (field) field->Draw(false);
      break;
    case 8:
    case 16:
      // The cross-fade of the page's picture advances; the text types on.
      if (backgrounds_[kPictureBriefingPage].IsLoaded()) backgrounds_[kPictureBriefingPage].DrawFading(336, 29);
      DrawBriefingText(false);
      break;
    case 9:
      if (sliders_[kSliderBrightness].SetSliderPos(down)) SetBrightness(sliders_[kSliderBrightness].GetFraction());
      break;
    case 13:
      if (missionList_) {
        missionList_->SetSessions(&g_Net.GetSessionList(), joining_ != 0);
        if (missionList_->Update(down)) {
          if (joining_) {
            missionList_->GetChosenSessionName(&sessionName_);
            chosenMission_ = missionList_->GetChosenSessionMission();
            if (editLines_[kLineSessionName]) editLines_[kLineSessionName]->SetText(sessionName_);
          } else {
            chosenMission_ = missionList_->GetChosenRow() + 1;
          }
        }
      }
      if (editLines_[kLineSessionName]) editLines_[kLineSessionName]->Draw(joining_ != 0);
      break;
    case 14:
      if (editLines_[kLineIpAddress]) editLines_[kLineIpAddress]->Draw(false);
      break;
    case 15:
      if (editLines_[kLinePlayerName]) editLines_[kLinePlayerName]->Draw(false);
      for (int i = 0; i < 2; ++i)
        if (stylePickers_[i] && stylePickers_[i]->Update(down)) shipStyles_[i] = stylePickers_[i]->GetChosen();
      break;
    case 17:
      for (auto& box : optionBoxes_)
        if (box) box->Draw();
      break;
    default:
      break;
  }
  if (softwareCursor) DrawCursor(cursorX_, cursorY_);
}

void CInterface::CaptureKey(int /*ignored*/) {
  PollKeyboard();
  PollJoystick();
  int code = 0;
  for (int scan = 0; scan < 256 && !code; ++scan)
    if (keyState_[scan].load() & 0x80) code = scan;
  for (int index = 0; index < kJoystickKeyCount && !code; ++index)
    if (JoystickKeyDown(index)) code = kJoystickCodeBase + index;
  if (!code) return;
  CKeyBindingField* chosen = nullptr;
  for (auto& field : keyFields_)
    if (field && field->IsSelected()) {
      chosen = field.get();
      break;
    }
  if (!chosen) {
    if (g_pSoundManager) g_pSoundManager->PlayBzzzt();
    return;
  }
  chosen->SetKey(code);
  // A code is bound to at most one field.
  for (auto& field : keyFields_)
    if (field && field.get() != chosen && field->GetKey() == chosen->GetKey() && chosen->GetKey() != 0)
      field->SetKey(0);
}
