// The interface manager's menus: opening one (always through the menu mode),
// the quick save and load, and closing.
#include "game/build_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "media/cd_audio.h"
#include "platform/framework/window_manager.h"
#include "platform/process_services.h"
#include "render/raster_state.h"

namespace {

// The screens the openers show.
constexpr int kScreenMain = 0;
constexpr int kScreenSave = 5;
constexpr int kScreenLoad = 6;
constexpr int kScreenBriefing = 8;
constexpr int kScreenMissionFailed = 16;
constexpr int kScreenHelp = 18;
// The briefing or failure page's picture.
constexpr int kPictureBriefingPage = 9;
// The backgrounds that stay in memory when a menu closes: the briefing page,
// the cursor, the ending and help pictures.
constexpr bool KeepsBackground(int index) { return index == 9 || index == 15 || index == 16 || index == 18; }

}  // namespace

void CInterface::ResetCursorRect() { cursorRect_ = RECT{640, 480, 0, 0}; }

void CInterface::EnterMenuMode(bool /*unused*/) {
  // The ship stops moving while a menu is open: that comes with the player's
  // ship (its controls stop its motion here).
  ResetCursorRect();
  if (window_) window_->HidePicture(false);
  ApplyPalette();
  SetCursor(interfaceCursor_);
  // korvane3d's menus draw their own cursor; korvanesw's show the system's.
  ShowCursor(BuildVariantGet().PrepareMenuDisplay(*this) ? TRUE : FALSE);
  ClearKeys();
}

void CInterface::EnterMenuOn(int screen) {
  EnterMenuMode(false);
  menuActive_ = 1;
  SetScreen(screen);
}

void CInterface::OpenMenu(bool initial) {
  if (menuActive_) return;
  BuildVariantGet().MenuOpening(*this, initial, false);
  EnterMenuOn(kScreenMain);
}

void CInterface::OpenBriefing() {
  if (menuActive_) return;
  BuildVariantGet().MenuOpening(*this, false, true);
  EnterMenuOn(kScreenBriefing);
  StartBriefing();
}

void CInterface::EndBriefing() {
  const bool failure = screen_ == kScreenMissionFailed;
  BuildVariantGet().FadeOutBeforeLoad(*this);
  CloseMenu();
  if (failure) {
    if (CGameApp* app = GameApp()) app->RequestNewGame(false);
  } else if (g_pNetDoc && !g_pNetDoc->IsGameRunning() && !g_pNetDoc->StartLevel()) {
    CGameApp::FatalError("dd", 2124);
  }
}

void CInterface::OpenHelp() {
  if (menuActive_) return;
  BuildVariantGet().MenuOpening(*this, false, true);
  EnterMenuOn(kScreenHelp);
}

void CInterface::ShowMissionFailed(int mission) {
  if (menuActive_) return;
  StopCdAudio();
  EnterMenuOn(kScreenMissionFailed);
  failedMission_ = mission;
  briefingPage_ = 0;
  lastBriefingPage_ = 0;
  briefingText_.Empty();
  backgrounds_[kPictureBriefingPage].Free();
  LoadBriefingPage();
  ResetCursorRect();
  missionFailedShown_ = 1;
}

void CInterface::OpenSaveMenu() { OpenFromGameKeys(kScreenSave); }

void CInterface::OpenLoadMenu() {
  if (!IsNetworkGame()) OpenFromGameKeys(kScreenLoad);
}

void CInterface::OpenFromGameKeys(int screen) {
  if (menuActive_) return;
  BuildVariantGet().MenuOpening(*this, false, true);
  EnterMenuMode(false);
  // Cancel closes the menu: there is no menu screen to go back to.
  returnScreen_ = -1;
  menuActive_ = 1;
  SetScreen(screen);
}

void CInterface::QuickSave() {
  if (lastSavePath_.IsEmpty()) {
    OpenSaveMenu();
    return;
  }
  // Saved games live in the user's data folder; an existing folder is no
  // error.
  const std::string data = UserDataFolder();
  if (!data.empty()) FolderCreate(data + "SAVE");
  if (g_pNetDoc) g_pNetDoc->SaveGame(lastSavePath_);
}

void CInterface::QuickLoad() {
  if (lastSavePath_.IsEmpty()) {
    OpenLoadMenu();
    return;
  }
  BuildVariantGet().FadeOutBeforeLoad(*this);
  // The game's own key asks for this inside a frame: the document is
  // replaced at the next idle call.
  if (CGameApp* app = GameApp()) app->RequestOpenSavedGame(lastSavePath_);
}

bool CInterface::CloseMenu() {
  if (!menuActive_) return false;
  ClearKeys();
  // The mouse's motion while a menu was up moved a cursor (korvanesw's menus
  // follow the window's, so the device was not read at all): it must not
  // turn the ship at the game's first read.
  DiscardMouseMotion();
  menuActive_ = 0;
  for (int i = 0; i < 20; ++i)
    if (!KeepsBackground(i)) backgrounds_[i].Unload();
  SaveOptions();
  // The options take effect as the menu closes (their boxes come with the
  // screens).
  if (optionBoxes_[kOptionTranslucency])
    g_TranslucencyMode = optionBoxes_[kOptionTranslucency]->GetCurrent() != 0 ? 1 : 0;
  // The lights option also sets the lights flag (0x100) of the document's
  // view record here, once the document holds one (the level's work).
  CNetView* view = g_pNetDoc ? g_pNetDoc->GetView() : nullptr;
  if (view && g_pNetDoc->IsGameRunning()) {
    view->ResetOverlays();
    view->InvalidateHud();
  }
  BuildVariantGet().RestoreGameDisplay(*this);
  ResetCursorRect();
  if (window_) window_->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ShowCursor(FALSE);
  ClearKeys();
  ClearBackBuffer();
  return true;
}
