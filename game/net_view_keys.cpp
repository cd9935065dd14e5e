// The keys that act on the running game and the commands of the program's
// menu resource. The menu itself is never shown (its frame is hidden); its
// commands arrive as command messages and are reachable from code.
#include "engine/depth_cue.h"
#include "engine/engine_error.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/key_codes.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/typed_words.h"
#include "render/raster_state.h"

namespace {

enum : UINT {
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyAlt = 18,
  kKeyEsc = 27,
  kKeySpace = 32,
  kKeyF1 = 112,
  kKeyF2 = 113,
  kKeyF4 = 115,
  kKeyF5 = 116,
  kKeyF6 = 117,
  kKeyF7 = 118,
  kKeyF8 = 119,
  kKeyF9 = 120,
  kKeyF12 = 123,
};
constexpr int kScanLeftShift = 42;

// The digit keys '0'..'9': a gun bit, or a missile bit.
struct WeaponKey {
  bool gun;
  int bit;
};
constexpr WeaponKey kDigitKeys[10] = {
    {true, 2},  {false, 1}, {false, 32}, {false, 4}, {false, 8},
    {false, 64}, {true, 1},  {true, 16},  {true, 32}, {true, 8},
};

bool MenuOpen() { return g_pInterface && g_pInterface->IsMenuActive(); }

void OpenMainMenu() {
  if (g_pInterface && !MenuOpen()) g_pInterface->OpenMenu(false);
}

}  // namespace

void CNetView::OnKeyDown(UINT virtualKey, UINT repeat, UINT flags) {
  // Typed words are entered with the left Shift held.
  if (g_pInterface && g_pInterface->IsKeyDown(kScanLeftShift)) HandleTypedChar(static_cast<int>(virtualKey));
  if (!HandleKey(virtualKey)) CView::OnKeyDown(virtualKey, repeat, flags);
}

void CNetView::OnSysKeyUp(UINT virtualKey, UINT repeat, UINT flags) {
  // Releasing Alt alone must not open the system menu.
  if (virtualKey != kKeyAlt) CView::OnSysKeyUp(virtualKey, repeat, flags);
}

void CNetView::OnSetFocus(CWnd* oldWnd) {
  CView::OnSetFocus(oldWnd);
  hasFocus_ = 1;
}

void CNetView::OnKillFocus(CWnd* newWnd) {
  CView::OnKillFocus(newWnd);
  hasFocus_ = 0;
}

BOOL CNetView::OnEraseBkgnd(CDC* /*dc*/) { return TRUE; }

int CNetView::HandleKey(UINT key) {
  if (MenuOpen()) return 1;
  CNetDoc* doc = g_pNetDoc;
  if (doc && doc->IsScriptCameraActive()) {
    if (key == kKeyEsc) OpenMainMenu();
    return 1;
  }
  const bool network = IsNetworkGame();
  if (key == kKeyEnter || key == kKeyEsc || key == kKeySpace) {
    CDirectPlayer* player = doc ? doc->GetLocalPlayer() : nullptr;
    if (network) {
      if (player && player->IsDead()) {
        // Not before the wreck has exploded: the explosion drops the back
        // pack and the debris, which a respawn would skip.
        if (player->IsExploded()) player->Respawn();
        return 1;
      }
    } else if (missionFailed_) {
      missionFailed_ = 0;
      if (CGameApp* app = GameApp()) app->RequestNewGame(false);
      return 1;
    }
  }
  if (!doc || !doc->IsGameRunning()) return 0;
  if (key == kKeyF8 || key == kKeyF6) {
    if (network) return 0;
    if (g_pInterface) {
      if (key == kKeyF8) {
        g_pInterface->OpenLoadMenu();
      } else {
        g_pInterface->QuickLoad();
      }
    }
    return 1;
  }
  if (CDirectPlayer* player = doc->GetLocalPlayer(); player && player->IsDead()) return 1;
  if (key >= '0' && key <= '9') {
    const WeaponKey& weapon = kDigitKeys[key - '0'];
    if (weapon.gun) {
      doc->SelectGun(weapon.bit);
    } else {
      doc->SelectMissile(weapon.bit);
      if (key == '1') doc->SetHomingToggle(1);
    }
    return 1;
  }
  switch (key) {
    case kKeyTab:
      doc->SelectNextTarget();
      return 1;
    case kKeyAlt:
      return 1;
    case kKeyEsc:
      OpenMainMenu();
      return 1;
    case kKeyF1:
      if (g_pInterface && !MenuOpen()) g_pInterface->OpenHelp();
      return 1;
    case kKeyF2:
      if (g_pInterface && !MenuOpen()) g_pInterface->OpenBriefing();
      return 1;
    case kKeyF4:
      ToggleCockpit();
      return 1;
    case kKeyF5:
      if (!network && g_pInterface) g_pInterface->QuickSave();
      return 1;
    case kKeyF7:
      if (!network && g_pInterface) g_pInterface->OpenSaveMenu();
      return 1;
    case kKeyF9:
      // The chat line of a network game.
      if (network) doc->OpenConsole();
      return 1;
    case kKeyF12:
      if (doc->GetSelectedMissile() == 1 || doc->GetSelectedMissile() == 2) {
        doc->SetHomingToggle(doc->GetHomingToggle() ? 0 : 1);
      }
      return 1;
    default:
      return 0;
  }
}

bool CNetView::OnCmdMsg(UINT id) {
  switch (id) {
    case kCmdAutoLoRes:
      if (g_pInterface) g_pInterface->ToggleAutoLowRes();
      return true;
    case kCmdSoundEnabled:
      if (g_pInterface) g_pInterface->ToggleSound();
      return true;
    case kCmdRadar:
      if (g_pNetDoc) g_pNetDoc->ToggleRadar();
      InvalidateHud();
      return true;
    case kCmdDepthCueing:
      if (depthCueing_) {
        DepthCueSet(300.0f, -1.0f);
      } else {
        if (depthCueFar_ == -1.0f) depthCueFar_ = 1000.0f;
        DepthCueSet(300.0f, depthCueFar_);
      }
      depthCueing_ = depthCueing_ ? 0 : 1;
      return true;
    case kCmdChaseCamera:
      if (g_pNetDoc) g_pNetDoc->ToggleChaseCamera();
      return true;
    case kCmdClearBackground:
      backgroundClearing_ = backgroundClearing_ ? 0 : 1;
      SetBackgroundFill(backgroundClearing_);
      return true;
    case kCmdZBuffer:
      if (g_ZBuffer) {
        FreeZBuffer();
      } else {
        AllocateZBuffer();
      }
      return true;
    default:
      return CView::OnCmdMsg(id);
  }
}

bool CNetView::IsCommandChecked(UINT id) const {
  switch (id) {
    case kCmdStatistics:
      return g_pNetDoc && g_pNetDoc->IsStatisticsShown();
    case kCmdChaseCamera:
      return g_pNetDoc && g_pNetDoc->IsExternalView();
    case kCmdClearBackground:
      return backgroundClearing_ != 0;
    case kCmdZBuffer:
      return g_ZBuffer != nullptr;
    default:
      return false;
  }
}
