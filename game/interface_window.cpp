#include "game/interface_window.h"

#include "game/build_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "game/typed_words.h"
#include "media/cd_audio.h"
#include "media/smacker_video.h"
#include "media/sound_manager.h"
#include "platform/mci.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"

namespace {

CNetView* DocumentView() { return g_pNetDoc ? g_pNetDoc->GetView() : nullptr; }

bool MenuActive() { return g_pInterface && g_pInterface->IsMenuActive(); }

}  // namespace

LRESULT CInterfaceWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != MM_MCINOTIFY) return CWnd::OnMessage(message, wParam, lParam);
  if (wParam == MCI_NOTIFY_SUCCESSFUL) PlayCdTrack(m_hWnd, g_CdTrack);
  return 0;
}

CString CInterfaceWnd::ShowPicture(const CString& file, const char* archive, const char* soundName) {
  const CString previous = pictureName_;
  // Pictures are full-screen 640x480 ones; at another size none shows.
  const bool fits = g_pInterface && g_pInterface->GetScreenWidth() == 640 && g_pInterface->GetScreenHeight() == 480;
  if (file.IsEmpty() || !fits) {
    HidePicture(true);
    return previous;
  }
  pictureName_ = file;
  if (soundName && g_pSoundManager) g_pSoundManager->PlaySoundVolumeNamed(soundName, 0, 0);
  // The picture shown before goes first.
  picture_.reset();
  picture_ = std::make_unique<CPicture>(file.GetString(), archive);
  picture_->DrawAt(0, 0);
  g_pInterface->ApplyPalette();
  return previous;
}

void CInterfaceWnd::HidePicture(bool clearDisplay) {
  pictureName_.Empty();
  picture_.reset();
  if (clearDisplay && g_pInterface) g_pInterface->ClearDisplay(0);
}

void CInterfaceWnd::OnSetFocus(CWnd* oldWnd) {
  CWnd::OnSetFocus(oldWnd);
  if (g_pInterface) g_pInterface->SetWindowFocus(true);
}

void CInterfaceWnd::OnKillFocus(CWnd* newWnd) {
  if (g_pInterface) g_pInterface->SetWindowFocus(false);
  CWnd::OnKillFocus(newWnd);
}

void CInterfaceWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CWnd::OnActivate(state, other, minimized);
  // A video keeps the screen as it is.
  if (IsSmackerOpen() || other == this || !g_pInterface) return;
  if (state == WA_INACTIVE) {
    if (g_pNetDoc && g_pNetDoc->IsGameRunning() && !g_pInterface->IsMenuActive()) g_pInterface->OpenMenu(false);
    return;
  }
  if (state != WA_ACTIVE) return;
  g_pInterface->RestoreSurfaces(true);
  BuildVariantGet().ReleaseTextureSurfaces();
  g_pInterface->ApplyPalette();
  if (CNetView* view = DocumentView()) view->InvalidateHud();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void CInterfaceWnd::OnPaint() {
  CGameApp* app = GameApp();
  // The step is noted after it ran: it may paint the window again itself.
  if (app && app->IsNewGameRequested()) {
    app->StartRequestedGame();
    lastPaintStep_ = PaintStep::NewGame;
    return;
  }
  if (g_pInterface && g_pInterface->IsEndingPending()) {
    g_pInterface->PlayEnding();
    lastPaintStep_ = PaintStep::Ending;
    return;
  }
  if (IsSmackerOpen()) {
    SmackerOnPaint(m_hWnd);
    lastPaintStep_ = PaintStep::Video;
    return;
  }
  CPaintDC dc(this);
  lastPaintStep_ = PaintStep::Paused;
  if (!g_pNetDoc || !g_pNetDoc->IsPaused()) {
    if (MenuActive()) {
      lastPaintStep_ = PaintStep::Menu;
      g_pInterface->MenuFrame();
    } else if (picture_) {
      lastPaintStep_ = PaintStep::Picture;
      picture_->DrawAt(0, 0);
    } else if (CNetView* view = DocumentView()) {
      lastPaintStep_ = PaintStep::Game;
      view->OnDraw(&dc);
    }
  }
  if ((lastPaintStep_ == PaintStep::Menu || lastPaintStep_ == PaintStep::Game) && g_pInterface &&
      BuildVariantIsInstalled())
    BuildVariantGet().FrameShown(*g_pInterface);
  // In a network game the guaranteed messages still unanswered are sent
  // again once they are due (after the render, which holds resends back).
  if (g_pNetDoc && IsNetworkGame()) g_Net.PumpResends(false);
}

void CInterfaceWnd::OnMouseMove(UINT flags, CPoint point) {
  if (MenuActive()) g_pInterface->OnMouseMove(flags, point.x, point.y);
  CWnd::OnMouseMove(flags, point);
}

void CInterfaceWnd::OnLButtonDown(UINT flags, CPoint point) {
  if (MenuActive()) g_pInterface->SetMouseButtonDown(true);
  CWnd::OnLButtonDown(flags, point);
}

void CInterfaceWnd::OnLButtonUp(UINT flags, CPoint point) {
  if (MenuActive()) g_pInterface->OnClick(flags, point.x, point.y);
  CWnd::OnLButtonUp(flags, point);
}

BOOL CInterfaceWnd::OnEraseBkgnd(CDC* /*dc*/) {
  if (MenuActive()) g_pInterface->DrawScreen();
  return TRUE;
}

BOOL CInterfaceWnd::OnQueryNewPalette() {
  if (IsSmackerOpen()) {
    if (g_pInterface) g_pInterface->SetVideoPalette();
    return TRUE;
  }
  if (g_pInterface) g_pInterface->ApplyPalette();
  if (CNetView* view = DocumentView()) view->ResetOverlays();
  return TRUE;
}

void CInterfaceWnd::OnPaletteChanged(CWnd* focusWnd) {
  if (focusWnd != this) OnQueryNewPalette();
}

void CInterfaceWnd::OnKeyDown(UINT ch, UINT /*repeat*/, UINT /*flags*/) {
  const int key = static_cast<int>(ch);
  if (g_pInterface && g_pInterface->IsKeyDown(DIK_LSHIFT)) HandleTypedChar(key);
  if (!g_NextMissionArchive.IsEmpty()) {
    // The accomplished mission's closing text shows: only these go on.
    if (key != VK_ESCAPE && key != VK_RETURN && key != VK_SPACE) return;
    g_CurrentMissionArchive = g_NextMissionArchive;
    g_NextMissionArchive.Empty();
    StopCdAudio();
    if (CGameApp* app = GameApp()) app->RequestNewGame(true);
    return;
  }
  if (MenuActive()) {
    g_pInterface->OnKey(key);
  } else if (g_pNetDoc) {
    if (g_pNetDoc->IsConsoleOpen()) {
      g_pNetDoc->OnConsoleChar(ch);
    } else if (CNetView* view = DocumentView(); view && g_pNetDoc->IsGameRunning()) {
      view->HandleKey(ch);
    }
  }
}

void CInterfaceWnd::OnChar(UINT ch, UINT /*repeat*/, UINT /*flags*/) {
  if (g_pNetDoc && g_pNetDoc->IsConsoleOpen()) {
    g_pNetDoc->OnConsoleKey(ch);
  } else if (MenuActive()) {
    // Outside a menu a character goes nowhere: the last menu screen is not
    // typed into while the game runs.
    g_pInterface->OnChar(static_cast<int>(ch));
  }
}

void CInterfaceWnd::OnSysKeyDown(UINT ch, UINT /*repeat*/, UINT /*flags*/) {
  if (g_NextMissionArchive.IsEmpty() && MenuActive()) g_pInterface->OnSysKey(static_cast<int>(ch));
}
