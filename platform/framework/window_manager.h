#pragma once
// Windows and the message queue, at the level of window handles.
//
// Every window belongs to a CWnd; messages reach it through CWnd::WindowProc.
// One queue serves the program's one UI thread (the thread that first used
// the window system). Retrieval order: posted messages, then the quit request,
// then input, then WM_PAINT for a visible window with an invalid area, then
// WM_TIMER for a due timer; WM_PAINT and WM_TIMER are generated, not queued.
// Input comes from the platform back end, turned into messages when the
// queue is looked at: keys become WM_KEYDOWN/WM_KEYUP (WM_SYSKEY* while Alt is
// held) with virtual-key codes, typed characters WM_CHAR, mouse motion and
// buttons WM_MOUSEMOVE and the button messages with client coordinates of a
// cursor kept inside the screen; the back end's quit becomes the quit request
// with code 0. Keyboard messages go to the focus window (else the active
// one), mouse messages to the active window.
//
// Only PostMessage may be called from other threads; PeekMessage from another
// thread sees nothing (it looks at that thread's own, empty queue).
#include <vector>

#include "platform/framework/win_types.h"

class CWnd;

// Creates the window for wnd from cs (sends WM_CREATE, then WM_SIZE and
// WM_MOVE); null when WM_CREATE returned -1. wnd->m_hWnd is set before the
// first message.
HWND WindowCreate(CWnd* wnd, CREATESTRUCT& cs);
// The CWnd of a window, null when the handle names no window.
CWnd* WindowObject(HWND hwnd);
// The message being handled (for default handling).
const MSG& WindowCurrentMessage();

BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
// Sends WM_DESTROY to the window and then its children, WM_NCDESTROY to the
// children and then the window; its timers and queued messages go with it.
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetParent(HWND hwnd);
// The first child (at any depth) with that id.
HWND GetDescendantWindow(HWND hwnd, UINT_PTR id);
UINT_PTR GetDlgCtrlID(HWND hwnd);
// The window's direct children in creation order.
std::vector<HWND> GetChildWindows(HWND hwnd);

// Invalidation is of the whole client area; a null window means every window.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// Paints at once (WM_PAINT sent) when the window is visible and invalid.
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* region, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// A timer of the window (replacing one with the same id); with no window a
// new id is chosen. Due after elapse ms and every elapse ms after the last
// WM_TIMER taken from the queue.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message; FALSE for WM_QUIT.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Characters come from the back end as their own events, so this does nothing.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL SetWindowText(HWND hwnd, const char* text);
// The window's text into buffer (at most size - 1 characters); its length.
int GetWindowText(HWND hwnd, char* buffer, int size);

// The headless desktop: 640 x 480, frame 4, caption and menu bar 19.
int GetSystemMetrics(int index);
// Shows or hides the system cursor. A flag, not a counter: one call with
// TRUE shows it however often it was hidden. Returns 0 when shown, -1 when
// hidden.
int ShowCursor(BOOL show);
// A cursor by resource id: one of the program's own (any instance) or, with
// no instance, a system cursor (IDC_ARROW). The handle only names it:
// never null, the same for the same cursor.
HCURSOR LoadCursor(const void* instance, UINT id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);

// Tests: drops queued and pending input messages, the quit request and every
// window's invalid state, and forgets which thread owns the queue.
void MessageQueueReset();
// Number of windows that exist.
int WindowCount();

// Called by CWnd when it lets go of its window during WM_NCDESTROY: the
// window gets no more messages.
void WindowDetach(HWND hwnd);
