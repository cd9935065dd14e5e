#include "game/interface_window.h"

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/typed_words.h"
#include "platform/keys.h"

CString CInterfaceWnd::ShowPicture(const CString& file, const char* archive, const char* /*soundName*/) {
  const CString previous = pictureName_;
  // Full-screen pictures are made for 640x480.
  const bool fits = g_pInterface && g_pInterface->GetScreenWidth() == 640 && g_pInterface->GetScreenHeight() == 480;
  if (file.IsEmpty() || !fits) {
    HidePicture(true);
    return previous;
  }
  pictureName_ = file;
  // soundName is not played until the sound manager has named sounds.
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

void CInterfaceWnd::OnPaint() {
  CGameApp* app = GameApp();
  if (app && app->IsNewGameRequested()) {
    app->StartRequestedGame();
    return;
  }
  CPaintDC dc(this);
}

void CInterfaceWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CWnd::OnActivate(state, other, minimized);
  if (other == this || !g_pInterface || state != WA_ACTIVE) return;
  g_pInterface->RestoreSurfaces(true);
  g_pInterface->ApplyPalette();
}

void CInterfaceWnd::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (g_pInterface && g_pInterface->IsKeyDown(DIK_LSHIFT)) HandleTypedChar(static_cast<int>(ch));
  CWnd::OnKeyDown(ch, repeat, flags);
}
