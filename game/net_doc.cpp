#include "game/net_doc.h"

#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"

IMPLEMENT_DYNCREATE_CLASS(CNetDoc, CDocument)

CNetDoc* g_pNetDoc = nullptr;

CNetDoc::CNetDoc() {
  g_pNetDoc = this;
  g_SaveDescription.Empty();
  g_SaveSecondString.Empty();
  g_TypedWordBuffer.Empty();
}

CNetDoc::~CNetDoc() {
  if (g_pNetDoc == this) g_pNetDoc = nullptr;
}

bool CNetDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  if (g_pInterface && g_pInterface->GetWindow()) g_pInterface->GetWindow()->SetActiveWindow();
  CGameApp* app = GameApp();
  if (app && app->IsStartInProgress()) {
    if (app->IsStartViaBriefing()) {
      if (g_pInterface) g_pInterface->OpenBriefing();
    } else if (!StartLevel()) {
      return false;
    }
  } else if (app && app->IsStartupDelayOver() && g_pInterface) {
    g_pInterface->OpenMenu(true);
  }
  ready_ = 1;
  return true;
}

bool CNetDoc::OnOpenDocument(const char* pathName) { return CDocument::OnOpenDocument(pathName); }

void CNetDoc::SetClockPaused(BOOL paused) {
  clockPaused_ = paused ? 1 : 0;
  SetGameTimePaused(paused);
}
