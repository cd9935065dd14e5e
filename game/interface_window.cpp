#include "game/interface_window.h"

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/typed_words.h"
#include "platform/keys.h"

CString CInterfaceWnd::ShowPicture(const CString& file, const char* /*archive*/, const char* /*soundName*/) {
  const CString previous = pictureName_;
  if (file.IsEmpty()) {
    HidePicture(true);
    return previous;
  }
  pictureName_ = file;
  return previous;
}

void CInterfaceWnd::HidePicture(bool clearDisplay) {
  pictureName_.Empty();
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

void CInterfaceWnd::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (g_pInterface && g_pInterface->IsKeyDown(DIK_LSHIFT)) HandleTypedChar(static_cast<int>(ch));
  CWnd::OnKeyDown(ch, repeat, flags);
}
