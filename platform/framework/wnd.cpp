#include "platform/framework/wnd.h"

#include "platform/framework/frame_wnd.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNAMIC_CLASS(CCmdTarget, CObject)
IMPLEMENT_DYNCREATE_CLASS(CWnd, CCmdTarget)

bool CCmdTarget::OnCmdMsg(UINT /*id*/) { return false; }

CPaintDC::CPaintDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::BeginPaint(hwnd_, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(hwnd_, &m_ps); }

CWnd::~CWnd() {
  // Only CWnd's own handlers run from here on, so a self-deleting window is
  // not deleted twice.
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, UINT_PTR id, void* param) {
  if (m_hWnd) return false;
  CREATESTRUCT cs;
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = style;
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.hwndParent = parent;
  cs.id = id;
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) return false;
  return WindowCreate(this, cs) != nullptr;
}

bool CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, id, context);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);  // may delete this
}

bool CWnd::PreCreateWindow(CREATESTRUCT& /*cs*/) { return true; }

LRESULT CWnd::Default() {
  const MSG& msg = WindowCurrentMessage();
  return DefWindowProc(m_hWnd, msg.message, msg.wParam, msg.lParam);
}

CString CWnd::GetWindowText() const {
  char buffer[1024];
  ::GetWindowText(m_hWnd, buffer, sizeof(buffer));
  return CString(buffer);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool deep) {
  for (HWND child : GetChildWindows(m_hWnd)) {
    if (!::IsWindow(child)) continue;
    ::SendMessage(child, message, wParam, lParam);
    if (deep)
      if (CWnd* wnd = FromHandle(child)) wnd->SendMessageToDescendants(message, wParam, lParam, true);
  }
}

CFrameWnd* CWnd::GetParentFrame() const {
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
    CWnd* wnd = FromHandle(h);
    if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
  }
  return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto keyRepeat = static_cast<UINT>(LOWORD(static_cast<uintptr_t>(lParam)));
  const auto keyFlags = static_cast<UINT>(HIWORD(static_cast<uintptr_t>(lParam)));
  const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const auto ch = static_cast<UINT>(wParam);
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND: {
      CDC dc(reinterpret_cast<HDC>(wParam));
      return OnEraseBkgnd(&dc);
    }
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_MOVE:
      OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SHOWWINDOW:
      OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(ch, keyRepeat, keyFlags);
      return 0;
    case WM_KEYUP:
      OnKeyUp(ch, keyRepeat, keyFlags);
      return 0;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(ch, keyRepeat, keyFlags);
      return 0;
    case WM_SYSKEYUP:
      OnSysKeyUp(ch, keyRepeat, keyFlags);
      return 0;
    case WM_CHAR:
      OnChar(ch, keyRepeat, keyFlags);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), point);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wParam), point);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wParam), point);
      return 0;
    case WM_RBUTTONDOWN:
      OnRButtonDown(static_cast<UINT>(wParam), point);
      return 0;
    case WM_RBUTTONUP:
      OnRButtonUp(static_cast<UINT>(wParam), point);
      return 0;
    case WM_ENTERMENULOOP:
      OnEnterMenuLoop(static_cast<BOOL>(wParam));
      return 0;
    case WM_EXITMENULOOP:
      OnExitMenuLoop(static_cast<BOOL>(wParam));
      return 0;
    case WM_QUERYNEWPALETTE:
      return OnQueryNewPalette();
    case WM_PALETTECHANGED:
      OnPaletteChanged(FromHandle(reinterpret_cast<HWND>(wParam)));
      return 0;
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? 0 : Default();
    default:
      return OnMessage(message, wParam, lParam);
  }
}

int CWnd::OnCreate(CREATESTRUCT* /*cs*/) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
  Default();
  const HWND hwnd = m_hWnd;
  WindowDetach(hwnd);
  m_hWnd = nullptr;
  PostNcDestroy();
}

void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC* /*dc*/) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR /*id*/) { Default(); }
void CWnd::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) { Default(); }
void CWnd::OnMove(int /*x*/, int /*y*/) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS* /*pos*/) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS* /*pos*/) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnShowWindow(BOOL /*show*/, UINT /*status*/) { Default(); }
void CWnd::OnActivate(UINT /*state*/, CWnd* /*other*/, BOOL /*minimized*/) { Default(); }
void CWnd::OnSetFocus(CWnd* /*oldWnd*/) { Default(); }
void CWnd::OnKillFocus(CWnd* /*newWnd*/) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
bool CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) { return OnCmdMsg(LOWORD(wParam)); }
LRESULT CWnd::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return Default(); }
