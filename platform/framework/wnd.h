#pragma once
// The class library's window classes: CCmdTarget (command routing), CWnd (a
// window with virtual message handlers) and the device-context wrappers.
//
// A derived window overrides the handler of a message instead of listing it
// in a message map; each handler's base does the default handling (Default(),
// which passes the message being handled to DefWindowProc). Messages without
// a handler of their own reach OnMessage.
#include "platform/framework/cstring.h"
#include "platform/framework/runtime_class.h"
#include "platform/framework/win_types.h"
#include "platform/framework/window_manager.h"

class CFrameWnd;

struct CPoint : POINT {
  CPoint() = default;
  CPoint(int px, int py) : POINT{px, py} {}
};

struct CRect : RECT {
  CRect() = default;
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  explicit CRect(const RECT& r) : RECT(r) {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
};

class CDC {
 public:
  CDC() = default;
  explicit CDC(HDC hdc) : m_hDC(hdc) {}
  virtual ~CDC() = default;
  HDC GetSafeHdc() const { return m_hDC; }
  HDC m_hDC = nullptr;
};

class CWnd;

// BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  PAINTSTRUCT m_ps;

 private:
  HWND hwnd_;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC_CLASS(CCmdTarget)
 public:
  // Handles a command; true when something handled it.
  virtual bool OnCmdMsg(UINT id);
};

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE_CLASS(CWnd)
 public:
  CWnd() = default;
  // A window still open is destroyed (with this class's handlers).
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd) { return WindowObject(hwnd); }

  virtual bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int cx,
                        int cy, HWND parent, UINT_PTR id, void* param = nullptr);
  virtual bool Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                      UINT id, void* context = nullptr);
  virtual BOOL DestroyWindow();
  virtual bool PreCreateWindow(CREATESTRUCT& cs);
  // Routes a message to its handler.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default handling of the message being handled.
  LRESULT Default();

  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
  bool IsIconic() const { return ::IsIconic(m_hWnd) != 0; }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
  void ValidateRect(const RECT* rect) { ::ValidateRect(m_hWnd, rect); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* rect = nullptr, void* region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  void SetWindowText(const char* text) { ::SetWindowText(m_hWnd, text); }
  CString GetWindowText() const;
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, cx, cy, repaint); }
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
  }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetDescendantWindow(UINT_PTR id) const { return FromHandle(::GetDescendantWindow(m_hWnd, id)); }
  // Sends the message to every child (and their children when deep).
  void SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool deep);
  // The nearest frame window above this one (null when none).
  CFrameWnd* GetParentFrame() const;

  HWND m_hWnd = nullptr;

 protected:
  virtual int OnCreate(CREATESTRUCT* cs);
  virtual void OnDestroy();
  // Lets go of the window (and ends the message loop when this was the
  // application's main window), then PostNcDestroy.
  virtual void OnNcDestroy();
  // Called last; windows that delete themselves do it here.
  virtual void PostNcDestroy() {}
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnMove(int x, int y);
  virtual void OnWindowPosChanging(WINDOWPOS* pos);
  virtual void OnWindowPosChanged(WINDOWPOS* pos);
  virtual void OnClose();
  virtual void OnShowWindow(BOOL show, UINT status);
  virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
  virtual void OnSysKeyUp(UINT ch, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnEnterMenuLoop(BOOL trackPopup);
  virtual void OnExitMenuLoop(BOOL trackPopup);
  virtual BOOL OnQueryNewPalette();
  virtual void OnPaletteChanged(CWnd* focusWnd);
  // WM_COMMAND: the command id goes through OnCmdMsg; true when handled.
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  // Every other message.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
