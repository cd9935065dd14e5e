#include "game/net_view.h"

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
