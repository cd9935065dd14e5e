#include "game/net_view.h"

#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"

IMPLEMENT_DYNCREATE_CLASS(CNetView, CView)

CNetView::CNetView() {
  if (g_pNetDoc) g_pNetDoc->SetView(this);
}

CNetView::~CNetView() {
  // The document must not keep a view that is gone.
  if (g_pNetDoc && g_pNetDoc->GetView() == this) g_pNetDoc->SetView(nullptr);
}

void CNetView::OnDraw(CDC* /*dc*/) {}

void CNetView::RedrawNow() {
  CWnd* window = this;
  if (g_pInterface && g_pInterface->GetWindow() && g_pInterface->GetWindow()->m_hWnd) window = g_pInterface->GetWindow();
  window->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}
