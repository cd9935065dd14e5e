#include "game/interface_window.h"

#include <cstdio>
#include <cstdlib>

#include "game/build_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/typed_words.h"
#include "media/back_buffer_access.h"
#include "platform/keys.h"

namespace {

// Pictures can't be loaded yet. Until they can, the place of a full-screen
// picture is filled with one colour, named by KORVANE_PICTURE_STAND_IN
// ("r,g,b"; black when unset), so that a run shows the display at work.
void DrawPictureStandIn() {
  constexpr int kIndex = 200;  // a game colour
  unsigned r = 0, g = 0, b = 0;
  if (const char* text = std::getenv("KORVANE_PICTURE_STAND_IN")) std::sscanf(text, "%u,%u,%u", &r, &g, &b);
  PALETTEENTRY colours[256];
  std::copy(g_pInterface->GetPaletteTable(), g_pInterface->GetPaletteTable() + 256, colours);
  colours[kIndex] = PALETTEENTRY{static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
  if (g_pInterface->IsPaletteMissing()) {
    g_pInterface->SetPaletteEntries(colours);
    // korvanesw shows its pictures through a palette made at once.
    if (BuildVariantGet().Kind() == BuildKind::Software) g_pInterface->CreatePalette();
  }
  CBackBufferAccess access;
  access.FillRect(0, 0, access.Width(), access.Height(), kIndex);
  g_pInterface->BlitRect(0, 0, access.Width(), access.Height());
}

}  // namespace

CString CInterfaceWnd::ShowPicture(const CString& file, const char* /*archive*/, const char* /*soundName*/) {
  const CString previous = pictureName_;
  if (file.IsEmpty()) {
    HidePicture(true);
    return previous;
  }
  pictureName_ = file;
  if (g_pInterface) {
    DrawPictureStandIn();
    g_pInterface->ApplyPalette();
  }
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
