#include "platform/framework/view.h"

#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"

IMPLEMENT_DYNAMIC_CLASS(CView, CWnd)

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

bool CView::PreCreateWindow(CREATESTRUCT& cs) {
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return true;
}

int CView::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(cs ? cs->lpCreateParams : nullptr);
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  CFrameWnd* frame = GetParentFrame();
  if (frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr);
  CWnd::OnDestroy();
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* /*sender*/, LPARAM /*hint*/, CObject* /*hintObject*/) { Invalidate(TRUE); }

bool CView::OnCmdMsg(UINT id) {
  if (CWnd::OnCmdMsg(id)) return true;
  return m_pDocument && m_pDocument->OnCmdMsg(id);
}

LRESULT CView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITIALUPDATE) {
    OnInitialUpdate();
    return 0;
  }
  return CWnd::OnMessage(message, wParam, lParam);
}
