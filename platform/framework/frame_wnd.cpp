#include "platform/framework/frame_wnd.h"

#include "platform/framework/document.h"
#include "platform/framework/view.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNCREATE_CLASS(CFrameWnd, CWnd)

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nIDHelp = resourceId;
  return CreateEx(0, nullptr, AfxGetApp() ? AfxGetApp()->m_strAppName.GetString() : "", style, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, 0, context);
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  cs.hasMenu = true;  // frames carry their resource's menu bar
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return true;
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(cs ? cs->lpCreateParams : nullptr);
  return OnCreateClient(cs, context) ? 0 : -1;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCT* /*cs*/, CCreateContext* context) {
  if (context && context->m_pNewViewClass) return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
  return true;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  auto* view = static_cast<CWnd*>(context->m_pNewViewClass->CreateObjectOfKind(RUNTIME_CLASS(CWnd)));
  if (!view) return nullptr;
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, id, context))
    return nullptr;  // the view deleted itself with its window
  return view;
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type == SIZE_MINIMIZED) return;
  if (CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST)) pane->MoveWindow(0, 0, cx, cy);
}

void CFrameWnd::OnClose() {
  CDocument* doc = GetActiveDocument();
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->CloseAllDocuments(false);
    if (!app->m_pMainWnd) {
      PostQuitMessage(0);
      return;
    }
  }
  if (doc && doc->m_bAutoDelete) {
    bool otherFrame = false;
    for (POSITION pos = doc->GetFirstViewPosition(); pos;)
      if (doc->GetNextView(pos)->GetParentFrame() != this) otherFrame = true;
    if (!otherFrame) {
      doc->OnCloseDocument();  // destroys this frame
      return;
    }
  }
  DestroyWindow();
}

void CFrameWnd::InitialUpdateFrame(CDocument* /*doc*/, bool makeVisible) {
  CView* view = nullptr;
  if (!GetActiveView()) {
    CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST);
    if (pane && pane->IsKindOf(RUNTIME_CLASS(CView))) {
      view = static_cast<CView*>(pane);
      SetActiveView(view);
    }
  }
  if (!makeVisible) return;
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true);
  int cmdShow = -1;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    cmdShow = app->m_nCmdShow;
    app->m_nCmdShow = -1;
  }
  ActivateFrame(cmdShow);
}

void CFrameWnd::ActivateFrame(int cmdShow) { ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow); }

bool CFrameWnd::OnCmdMsg(UINT id) {
  if (m_pViewActive && m_pViewActive->OnCmdMsg(id)) return true;
  if (CWnd::OnCmdMsg(id)) return true;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id);
}
