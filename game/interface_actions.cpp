// The menus' actions: what a click, a key or a typed character does on each
// screen (moving between screens, settings, confirmations, saving and
// loading, starting a single or a network game, quitting).
//
// A button counts as clicked when the mouse point is strictly inside it and
// it is not disabled (CPictureButton::HitTest); the first matching rule of a
// screen wins. Cancel, Esc and No on the save, load and confirm screens go
// back to the return screen without SetScreen, so that the screen's widgets
// stay as they were.
#include "game/app_services.h"
#include "game/build_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "game/saved_game_header.h"
#include "media/cd_audio.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "platform/process_services.h"

namespace {

// Buttons by number (their order in the screens' table).
enum Button : int {
  kStartSingle = 1,  // "rsi"
  kMultiplayer = 2,  // "rmu"
  kOptions = 3,      // "rop"
  kQuit = 4,         // "rqt"
  kControls = 5,     // "rky"
  kKeyBindings = 6,  // "rco"
  kSoundScreen = 7,  // "rvo"
  kVideoScreen = 8,  // "vid"
  kSave = 9,         // "b-sa"
  kLoad = 10,        // "b-lo"
  kOk = 11,          // "okk"
  kCancel = 12,      // "cnl"
  kKeysOk = 13,      // "ok"
  kKeysCancel = 14,  // "cac"
  kAdvanced = 15,    // "avn"
  kBriefingLeft = 16,
  kBriefingRight = 17,
  kBriefingExit = 18,
  kCockpit = 19,
  kRes800 = 20,  // "eig" (korvanesw)
  kRes640 = 21,  // "six"
  kRes320 = 22,  // "thr"
  kBack = 23,  // "gbk" of the options, sound, video and advanced screens
  kJoin = 24,
  kNewNetworkGame = 25,
  kNetworkReturn = 26,
  kRookie = 27,
  kVeteran = 28,
  kElite = 29,
  kDifficultyCancel = 30,
  kMouseInvert = 31,
  kStickInvert = 32,
  kStickEnable = 33,
  kStickAdvanced = 34,
  kControlsBack = 35,  // "gbk" of the controls screen
  kTcp = 36,
  kIpx = 37,
  kSerial = 38,
  kModem = 39,
  kConnectionReturn = 40,
  kSessionsOk = 41,
  kSearch = 42,
  kSessionsCancel = 43,
  kScrollDown = 44,  // "arrd"
  kScrollUp = 45,    // "arru"
  kShipOk = 46,
  kShipCancel = 47,
  kConfirmYes = 48,
  kConfirmNo = 49,
};

// The confirm screen's actions.
constexpr uint8_t kConfirmNewGame = 0;
constexpr uint8_t kConfirmNetwork = 1;
constexpr uint8_t kConfirmQuit = 2;

// The title area of the main screen, both ends included: the credits.
bool InTitleArea(int x, int y) { return x >= 10 && x <= 570 && y >= 60 && y <= 130; }

void Activate() {
  if (g_pSoundManager) g_pSoundManager->PlayActivate();
}
void Refuse() {
  if (g_pSoundManager) g_pSoundManager->PlayBzzzt();
}

bool GameRunning() { return g_pNetDoc && g_pNetDoc->IsGameRunning(); }

bool IsSoftwareBuildVariant() { return BuildVariantGet().Kind() == BuildKind::Software; }

}  // namespace

void CInterface::RedrawMenuWindow() {
  if (window_) window_->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CInterface::BackToReturnScreen(bool resetSaveLoadButtons) {
  if (returnScreen_ < 0) {
    CloseMenu();
    return;
  }
  screen_ = returnScreen_;
  if (resetSaveLoadButtons) {
    GetButton(kLoad).Reset();
    GetButton(kSave).Reset();
  }
  ResetCursorRect();
  RedrawMenuWindow();
}

void CInterface::AskToConfirm(uint8_t action) {
  returnScreen_ = 0;
  confirmAction_ = action;
  SetScreen(10);
}

void CInterface::QuitProgram() {
  BuildVariantGet().Quitting(*this);
  CloseMenu();
  OutputDebugString("korvane: quit from the menus\n");
  // A chosen quit is a normal end of the program: the message loop ends and
  // the application shuts down in order with exit code 0.
  PostQuitMessage(0);
}

void CInterface::OnClick(UINT flags, int x, int y) {
  mouseButtonDown_ = 0;
  // The buttons take the click's point (korvane3d: its own cursor, polled).
  OnMouseMove(flags, x, y);
  if (!IsSoftwareBuildVariant()) {
    x = cursorX_;
    y = cursorY_;
  }
  auto clicked = [this](int number) { return GetButton(number).HitTest(); };
  const bool running = GameRunning();
  switch (screen_) {
    case 0:
      if (clicked(kStartSingle)) {
        Activate();
        if (running) {
          AskToConfirm(kConfirmNewGame);
        } else {
          PlayIntro();
          if (menuActive_) SetScreen(11);
        }
      } else if (clicked(kMultiplayer)) {
        Activate();
        if (running) AskToConfirm(kConfirmNetwork);
        else SetScreen(2);
      } else if (clicked(kLoad) && g_pNetDoc && !IsNetworkGame()) {
        Activate();
        returnScreen_ = 0;
        SetScreen(6);
      } else if (clicked(kSave) && g_pNetDoc && !IsNetworkGame() && running) {
        Activate();
        returnScreen_ = 0;
        SetScreen(5);
      } else if (clicked(kOptions)) {
        Activate();
        SetScreen(1);
      } else if (clicked(kQuit)) {
        Activate();
        if (running) AskToConfirm(kConfirmQuit);
        else QuitProgram();
      } else if (InTitleArea(x, y)) {
        Activate();
        BuildVariantGet().CreditsOpening(*this);
        ShowCredits();
        BuildVariantGet().CreditsClosed(*this);
        RedrawMenuWindow();
      }
      break;
    case 1: {
      const struct {
        int button, screen;
      } moves[] = {{kBack, 0}, {kControls, 4}, {kKeyBindings, 7}, {kSoundScreen, 3}, {kVideoScreen, 9}, {kAdvanced, 17}};
      for (const auto& move : moves)
        if (clicked(move.button)) {
          Activate();
          SetScreen(move.screen);
          break;
        }
      break;
    }
    case 2:
      if (clicked(kJoin) || clicked(kNewNetworkGame)) {
        Activate();
        joining_ = clicked(kJoin) ? 1 : 0;
        SetScreen(15);
      } else if (clicked(kNetworkReturn)) {
        Activate();
        SetScreen(0);
      }
      break;
    case 3:
      if (clicked(kBack)) {
        Activate();
        SaveSoundSettings();
        SetScreen(1);
        break;
      }
      if (soundList_ && soundList_->HitTest()) {
        soundList_->Cycle();
        if (soundList_->GetCurrent() == 1) SoundOn();
        else SoundOff();
      }
      if (musicList_ && musicList_->HitTest()) {
        musicList_->Cycle();
        if (musicList_->GetCurrent() == 1) MusicOn();
        else MusicOff();
      }
      break;
    case 4:
      if (clicked(kMouseInvert) || clicked(kStickInvert) || clicked(kStickEnable)) {
        Activate();
        if (g_pNetDoc) {
          if (clicked(kMouseInvert)) g_pNetDoc->SetMouseSwap(!g_pNetDoc->IsMouseSwapped());
          else if (clicked(kStickInvert)) g_pNetDoc->SetJoystickSwap(!g_pNetDoc->IsJoystickSwapped());
          else g_pNetDoc->SetJoystickEnable(!g_pNetDoc->IsJoystickEnabled());
        }
        RefreshButtonFlags();
      } else if (clicked(kStickAdvanced)) {
        Activate();
      } else if (clicked(kControlsBack)) {
        Activate();
        SaveControlSettings();
      }
      break;
    case 5:
    case 6:
      if (clicked(kOk)) {
        if (screen_ == 5) SaveGame();
        else LoadGame();
      } else if (clicked(kCancel)) {
        Activate();
        BackToReturnScreen(true);
      }
      break;
    case 7:
      if (clicked(kKeysOk)) {
        Activate();
        SaveKeyBindings();
        SetScreen(1);
      } else if (clicked(kKeysCancel)) {
        Activate();
        SetScreen(1);
      } else {
        for (auto& field : keyFields_)
          if (field) field->SetSelected(field->HitTest(x, y));
      }
      break;
    case 8:
    case 16:
      if (clicked(kBriefingLeft) || clicked(kBriefingRight)) {
        Activate();
        briefingPage_ += clicked(kBriefingLeft) ? -1 : 1;
        if (briefingPage_ > lastBriefingPage_) briefingPage_ = lastBriefingPage_;
        if (briefingPage_ < 0) briefingPage_ = 0;
        RefreshButtonFlags();
        LoadBriefingPage();
        DrawBriefingText(true);
      } else if (clicked(kBriefingExit)) {
        Activate();
        EndBriefing();
      }
      break;
    case 9:
      if (clicked(kBack)) {
        Activate();
        SetScreen(1);
      } else if (clicked(kCockpit)) {
        Activate();
        cockpitShown_ = cockpitShown_ ? 0 : 1;
        RefreshButtonFlags();
      } else if (IsSoftwareBuildVariant() && (clicked(kRes640) || clicked(kRes320) || clicked(kRes800))) {
        // korvanesw's "ScreenRes": the game runs at this size once the menu
        // closes; it is written with the options.
        Activate();
        resolution_ = clicked(kRes640) ? 0 : clicked(kRes320) ? 1 : 2;
        RefreshButtonFlags();
      }
      break;
    case 10:
      if (clicked(kConfirmYes)) {
        OnConfirmYes();
      } else if (clicked(kConfirmNo)) {
        Activate();
        BackToReturnScreen(false);
      }
      break;
    case 11: {
      const int levels[][2] = {{kRookie, 1}, {kVeteran, 2}, {kElite, 3}};
      for (const auto& level : levels)
        if (clicked(level[0])) {
          Activate();
          difficulty_ = level[1];
          StartNewGame();
          return;
        }
      if (clicked(kDifficultyCancel)) {
        Activate();
        SetScreen(0);
      }
      break;
    }
    case 12: {
      const int types[][3] = {{kTcp, 0, 14}, {kIpx, 1, 13}, {kSerial, 3, 13}, {kModem, 2, 13}};
      for (const auto& type : types)
        if (clicked(type[0])) {
          Activate();
          connectionType_ = static_cast<uint8_t>(type[1]);
          SetScreen(type[2]);
          return;
        }
      if (clicked(kConnectionReturn)) {
        Activate();
        SetScreen(2);
      }
      break;
    }
    case 13:
      if (clicked(kSessionsOk)) {
        if (editLines_[kLineSessionName]) sessionName_ = editLines_[kLineSessionName]->GetText();
        if (sessionName_.IsEmpty() || chosenMission_ <= 0) {
          Refuse();
        } else {
          Activate();
          StartNetworkGame();
        }
      } else if (joining_ && clicked(kSearch)) {
        Activate();
        SearchSessions();
      } else if (clicked(kSessionsCancel)) {
        Activate();
        SetScreen(12);
      } else if (clicked(kScrollDown) || clicked(kScrollUp)) {
        if (missionList_ && missionList_->Scroll(clicked(kScrollDown) ? -1 : 1)) Activate();
      }
      break;
    case 15:
      if (clicked(kShipOk)) {
        if (editLines_[kLinePlayerName]) playerName_ = editLines_[kLinePlayerName]->GetText();
        if (playerName_.IsEmpty()) {
          Refuse();
        } else {
          Activate();
          SetScreen(12);
        }
      } else if (clicked(kShipCancel)) {
        Activate();
        SetScreen(2);
      }
      break;
    case 17:
      if (clicked(kBack)) {
        Activate();
        SaveOptions();
        SetScreen(1);
        break;
      }
      for (auto& box : optionBoxes_)
        if (box && box->HitTest()) box->Cycle();
      if (g_pSoundManager && optionBoxes_[kOptionChannels])
        g_pSoundManager->SetChannelCount(2 * optionBoxes_[kOptionChannels]->GetCurrent() + 4);
      break;
    default:  // 14, 18: clicks do nothing
      break;
  }
}

// A screen that asks for one line (an address, a player name): Enter keeps
// it and goes on unless it is empty, Esc goes back, other keys edit it.
void CInterface::OnNameLineKey(int line, CString* into, int virtualKey, bool enter, bool esc, int nextScreen,
                               int backScreen) {
  if (enter) {
    if (editLines_[line]) *into = editLines_[line]->GetText();
    if (into->IsEmpty()) {
      Refuse();
    } else {
      Activate();
      SetScreen(nextScreen);
    }
  } else if (esc) {
    Activate();
    SetScreen(backScreen);
  } else if (editLines_[line]) {
    editLines_[line]->OnBackspace(virtualKey);
  }
}

void CInterface::SearchSessions() {
  if (missionList_) missionList_->ShowPleaseWait();
  // The list shows the network layer's own enumeration results.
  g_Net.ClearSessions();
  g_Net.ConnectDirect(connectionType_, ipAddress_.GetString());
  if (missionList_) missionList_->Reset();
  ResetCursorRect();
  RedrawMenuWindow();
}

void CInterface::OnConfirmYes() {
  StopCdAudio();
  Activate();
  g_Net.Flush();
  // The abandoned game's document is replaced at the next idle call, never
  // inside the frame that may be running its views.
  if (GameRunning())
    if (CGameApp* app = GameApp()) app->RequestReturnToGame();
  switch (confirmAction_) {
    case kConfirmNewGame:
      PlayIntro();
      if (menuActive_) SetScreen(11);
      break;
    case kConfirmNetwork:
      SetScreen(2);
      break;
    default:
      QuitProgram();
      break;
  }
}

void CInterface::OnKey(int virtualKey) {
  if (!menuActive_) return;
  const bool enter = virtualKey == VK_RETURN;
  const bool esc = virtualKey == VK_ESCAPE;
  switch (screen_) {
    case 10:
      if (enter || virtualKey == 'Y') {
        OnConfirmYes();
      } else if (esc || virtualKey == 'N') {
        Activate();
        BackToReturnScreen(false);
      }
      return;
    case 14:
      OnNameLineKey(kLineIpAddress, &ipAddress_, virtualKey, enter, esc, 13, 12);
      return;
    case 13:
      if (!joining_ && editLines_[kLineSessionName]) editLines_[kLineSessionName]->OnBackspace(virtualKey);
      return;
    case 15:
      OnNameLineKey(kLinePlayerName, &playerName_, virtualKey, enter, esc, 12, 2);
      return;
    case 5:
    case 6: {
      // An open description line takes the key first (its Esc closes it).
      const bool lineWasOpen = savedGames_ && savedGames_->GetEditLine();
      if (savedGames_) savedGames_->OnKey(virtualKey);
      if (enter) {
        Activate();
        if (screen_ == 5) SaveGame();
        else LoadGame();
      } else if (esc && !lineWasOpen) {
        Activate();
        BackToReturnScreen(true);
      }
      return;
    }
    default:
      break;
  }
  if (!esc) {
    if (screen_ == 7) CaptureKey(0);
    return;
  }
  ClearKeys();
  switch (screen_) {
    case 0:
    case 18:
      if (GameRunning()) {
        Activate();
        CloseMenu();
      }
      break;
    case 1:
    case 2:
      Activate();
      SetScreen(0);
      break;
    case 3:
      Activate();
      SaveSoundSettings();
      Activate();
      SetScreen(1);
      break;
    case 4:
      Activate();
      SaveControlSettings();
      break;
    case 7:
    case 9:
    case 17:
      Activate();
      SetScreen(1);
      break;
    case 8:
    case 16:
      Activate();
      EndBriefing();
      break;
    case 12:
      Activate();
      SetScreen(15);
      break;
    default:  // 11: nothing
      break;
  }
}

void CInterface::OnChar(int character) {
  switch (screen_) {
    case 5:
      if (savedGames_) savedGames_->OnChar(character);
      break;
    case 13:
      if (!joining_ && editLines_[kLineSessionName]) editLines_[kLineSessionName]->OnChar(character);
      break;
    case 14:
      if (editLines_[kLineIpAddress]) editLines_[kLineIpAddress]->OnChar(character);
      break;
    case 15:
      if (editLines_[kLinePlayerName]) editLines_[kLinePlayerName]->OnChar(character);
      break;
    default:
      break;
  }
}

void CInterface::OnSysKey(int /*virtualKey*/) {
  // Alt and F10 come as system keys: bindable like any other.
  if (screen_ == 7) CaptureKey(0);
}

void CInterface::SaveGame() {
  if (!g_pNetDoc || !savedGames_) return;
  const int slot = savedGames_->GetChosenSlot();
  if (slot < 0) return;
  CString description;
  savedGames_->GetChosenText(&description);
  if (description.IsEmpty()) return;
  lastSavePath_ = SaveGamePath(slot);
  g_SaveDescription = description;
  // Saved games live in the user's data folder; an existing folder is no
  // error.
  const std::string data = UserDataFolder();
  if (!data.empty()) FolderCreate(data + "SAVE");
  Activate();
  const bool saved = g_pNetDoc->SaveGame(lastSavePath_);
  OutputDebugString(CString(saved ? "korvane: saved " : "korvane: could not save ") + lastSavePath_ + "\n");
  BuildVariantGet().FadeOutBeforeLoad(*this);
  if (returnScreen_ < 0) CloseMenu();
  else BackToReturnScreen(true);
}

void CInterface::LoadGame() {
  if (!g_pNetDoc || !savedGames_) return;
  const int slot = savedGames_->GetChosenSlot();
  if (slot < 0) return;
  Activate();
  lastSavePath_ = SaveGamePath(slot);
  // What the loaded game replaces, for runs that compare the two.
  if (GameRunning())
    OutputDebugString(CString("korvane: before loading, ") + g_pNetDoc->DescribeGameState() + "\n");
  BuildVariantGet().FadeOutBeforeLoad(*this);
  CloseMenu();
  // The document is replaced at the next idle call, outside any frame.
  if (CGameApp* app = GameApp()) app->RequestOpenSavedGame(lastSavePath_);
}

void CInterface::StartNewGame() {
  CGameApp* app = GameApp();
  // The new game starts with the standard loadout.
  if (g_pNetDoc) {
    g_pNetDoc->ResetNetworkLoadout();
    g_pNetDoc->SaveInventory();
  }
  if (app) app->SetNetworkLaunch(false);
  g_CurrentMissionArchive = "M1.CAN";
  g_NextMissionArchive.Empty();
  g_CdTrack = CdTrackForMission();
  OutputDebugString("korvane: a new game starts\n");
  if (GameRunning() && app) {
    // The running game's document is replaced at the next idle call (never
    // inside a frame of its views); the new one opens the briefing.
    app->RequestNewGame(true);
    return;
  }
  StartBriefing();
}

void CInterface::StartNetworkGame() {
  CGameApp* app = GameApp();
  CloseMenu();
  if (app) app->SetNetworkLaunch(true);
  chosenMission_ = chosenMission_ < 1 ? 1 : chosenMission_ > 24 ? 24 : chosenMission_;
  g_CurrentMissionArchive.Format("M%d.CAN", chosenMission_);
  g_NextMissionArchive.Empty();
  g_CdTrack = CdTrackForMission();
  if (GameRunning() && app) {
    // As for a new single game: the document is replaced at the next idle
    // call, and the new one starts the level.
    app->RequestNewGame(false);
    return;
  }
  // A session that vanished or a network that isn't there is no reason to
  // end the program: the level start has said why and brought the menus
  // back; the network screen is where to try again.
  if (!g_pNetDoc || !g_pNetDoc->StartLevel()) {
    if (app) app->SetNetworkLaunch(false);
    g_Net.Close();
    if (!menuActive_) EnterMenuOn(2);
    else SetScreen(2);
  }
}
