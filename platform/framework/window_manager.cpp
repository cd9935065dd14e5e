#include "platform/framework/window_manager.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/wnd.h"
#include "platform/keys.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kFrame = 4;
constexpr int kCaption = 19;
constexpr int kMenuBar = 19;

struct WindowRecord {
  CWnd* wnd = nullptr;
  HWND parent = nullptr;
  UINT_PTR id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  bool hasMenu = false;
  std::string text;
  RECT rect;
  bool visible = false;
  bool minimized = false;
  bool invalid = false;
  bool erase = false;
  bool destroying = false;
  std::vector<HWND> children;
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  DWORD due;
  TIMERPROC proc;
};

struct State {
  std::map<HWND, WindowRecord> windows;  // handles grow, so this is creation order
  uintptr_t nextHandle = 0x100;
  std::vector<Timer> timers;
  UINT_PTR nextTimerId = 0x7F00;
  std::mutex postLock;  // guards posted, quitPending, quitCode
  std::deque<MSG> posted;
  bool quitPending = false;
  int quitCode = 0;
  std::deque<MSG> input;
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  // Where the activation and the focus were when the program lost the focus.
  HWND appActive = nullptr;
  HWND appFocus = nullptr;
  MSG current;
  std::mutex ownerLock;
  bool ownerSet = false;
  std::thread::id owner;
  POINT cursor{kScreenWidth / 2, kScreenHeight / 2};
  bool cursorShown = true;
  HCURSOR cursorShape = nullptr;
  WPARAM buttons = 0;
  std::array<bool, 256> keyDown{};
};

// Leaked on purpose: windows may still be destroyed from static destructors.
State& S() {
  static State* state = new State();
  return *state;
}

bool OnOwnerThread() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.ownerLock);
  if (!s.ownerSet) {
    s.ownerSet = true;
    s.owner = std::this_thread::get_id();
  }
  return s.owner == std::this_thread::get_id();
}

WindowRecord* Find(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto it = S().windows.find(hwnd);
  return it == S().windows.end() ? nullptr : &it->second;
}

POINT BorderSize(const WindowRecord& r) {
  POINT border{0, 0};
  if (r.style & WS_THICKFRAME) border = POINT{2 * kFrame, 2 * kFrame};
  if (!(r.style & WS_CHILD)) {
    if ((r.style & WS_CAPTION) == WS_CAPTION) border.y += kCaption;
    if (r.hasMenu) border.y += kMenuBar;
  }
  return border;
}

POINT ClientOrigin(const WindowRecord& r) {
  const POINT border = BorderSize(r);
  const int frame = (r.style & WS_THICKFRAME) ? kFrame : 0;
  return POINT{r.rect.left + frame, r.rect.top + (border.y - frame)};
}

SIZE ClientSize(const WindowRecord& r) {
  if (r.minimized) return SIZE{0, 0};
  const POINT border = BorderSize(r);
  return SIZE{std::max(0, r.rect.right - r.rect.left - border.x), std::max(0, r.rect.bottom - r.rect.top - border.y)};
}

bool IsDescendant(HWND hwnd, HWND ancestor) {
  for (WindowRecord* r = Find(hwnd); r; r = Find(r->parent)) {
    if (hwnd == ancestor) return true;
    hwnd = r->parent;
  }
  return false;
}

// A window being hidden or destroyed gives up the focus (held by it or a
// child) and the activation, each with its message.
void TakeFocusAndActivationFrom(HWND hwnd) {
  State& s = S();
  if (s.focus && IsDescendant(s.focus, hwnd)) {
    const HWND old = s.focus;
    s.focus = nullptr;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (s.active == hwnd) {
    s.active = nullptr;
    SendMessage(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  }
}

HWND TopLevel(HWND hwnd) {
  for (WindowRecord* r = Find(hwnd); r && r->parent; r = Find(hwnd)) hwnd = r->parent;
  return hwnd;
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{hwnd, message, wParam, lParam, timeGetTime(), S().cursor};
}

LRESULT CallWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* r = Find(hwnd);
  if (!r || !r->wnd) return 0;
  CWnd* wnd = r->wnd;
  State& s = S();
  const MSG saved = s.current;
  s.current = MakeMessage(hwnd, message, wParam, lParam);
  // The handler may destroy and delete the window; wnd is not used after it.
  const LRESULT result = wnd->WindowProc(message, wParam, lParam);
  s.current = saved;
  return result;
}

void QueueKey(const PlatformInput& input, bool down, int scanCode) {
  if (scanCode <= 0 || scanCode >= 256) return;
  State& s = S();
  const bool wasDown = s.keyDown[static_cast<size_t>(scanCode)];
  s.keyDown[static_cast<size_t>(scanCode)] = down;
  const int vk = VirtualKeyFromScanCode(scanCode);
  if (vk == 0) return;
  const bool isAlt = scanCode == DIK_LMENU || scanCode == DIK_RMENU;
  const bool altHeld = isAlt || (input.KeyState(DIK_LMENU) & 0x80) || (input.KeyState(DIK_RMENU) & 0x80);
  const bool system = altHeld || scanCode == DIK_F10;
  UINT message = down ? WM_KEYDOWN : WM_KEYUP;
  if (system) message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  uint32_t bits = 1u | (static_cast<uint32_t>(scanCode & 0x7F) << 16);
  if (scanCode & 0x80) bits |= 1u << 24;
  if (altHeld) bits |= 1u << 29;
  if (down ? wasDown : true) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  const HWND target = s.focus ? s.focus : s.active;
  if (!target) return;
  s.input.push_back(MakeMessage(target, message, static_cast<WPARAM>(vk), static_cast<LPARAM>(bits)));
}

void QueueMouse(UINT message) {
  State& s = S();
  const HWND target = s.capture ? s.capture : s.active;
  WindowRecord* r = Find(target);
  if (!r) return;
  const POINT origin = ClientOrigin(*r);
  s.input.push_back(MakeMessage(target, message, s.buttons, MAKELPARAM(s.cursor.x - origin.x, s.cursor.y - origin.y)));
}

// The program's window lost or gained the focus (platform/input_event.h):
// the same activation and focus messages as a switch between programs.
void ActivateProgram(bool active, bool minimized) {
  State& s = S();
  if (!active) {
    if (!s.active) return;
    s.appActive = s.active;
    s.appFocus = s.focus;
    if (minimized) ShowWindow(s.active, SW_MINIMIZE);
    SetFocus(nullptr);
    if (s.active) TakeFocusAndActivationFrom(s.active);
    return;
  }
  if (s.active) {
    // Activated while active: the screen was switched under the program.
    SendMessage(s.active, WM_ACTIVATE, WA_ACTIVE, 0);
    return;
  }
  const HWND target = Find(s.appActive) ? s.appActive : nullptr;
  if (!target) return;
  if (IsIconic(target)) {
    ShowWindow(target, SW_RESTORE);
  } else {
    SetActiveWindow(target);
  }
  if (Find(s.appFocus)) SetFocus(s.appFocus);
}

void TranslateInput(const PlatformInput& input, const InputEvent& event) {
  State& s = S();
  switch (event.type) {
    case InputEventType::KeyDown:
    case InputEventType::KeyUp:
      QueueKey(input, event.type == InputEventType::KeyDown, event.scanCode);
      break;
    case InputEventType::Char: {
      const HWND target = s.focus ? s.focus : s.active;
      if (target) s.input.push_back(MakeMessage(target, WM_CHAR, event.character, 1));
      break;
    }
    case InputEventType::MouseMove:
      s.cursor.x = std::clamp(s.cursor.x + event.dx, 0, kScreenWidth - 1);
      s.cursor.y = std::clamp(s.cursor.y + event.dy, 0, kScreenHeight - 1);
      QueueMouse(WM_MOUSEMOVE);
      break;
    case InputEventType::MouseButtonDown:
    case InputEventType::MouseButtonUp: {
      const bool down = event.type == InputEventType::MouseButtonDown;
      WPARAM bit = MK_LBUTTON;
      UINT message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      if (event.button == kMouseRight) {
        bit = MK_RBUTTON;
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      } else if (event.button == kMouseMiddle) {
        bit = MK_MBUTTON;
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      }
      s.buttons = down ? (s.buttons | bit) : (s.buttons & ~bit);
      QueueMouse(message);
      break;
    }
    case InputEventType::Activate:
      ActivateProgram(event.active, event.minimized);
      break;
    case InputEventType::MouseWheel:
    case InputEventType::JoystickPlug:
    case InputEventType::JoystickUnplug:
    case InputEventType::JoystickAxis:
    case InputEventType::JoystickButtonDown:
    case InputEventType::JoystickButtonUp:
    case InputEventType::JoystickHat:
      break;  // device state only: the game polls it
    case InputEventType::Quit: {
      std::lock_guard<std::mutex> guard(s.postLock);
      s.quitPending = true;
      s.quitCode = 0;
      break;
    }
  }
}

void PumpInput() {
  PlatformInput& input = *PlatformBackendGet().input;
  InputEvent event;
  while (input.PollEvent(&event)) TranslateInput(input, event);
  // Looking at the queue ends what the program drew in one go.
  DirectDrawShowPendingFrame();
}

bool InRange(UINT message, UINT low, UINT high) {
  return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool TakeFrom(std::deque<MSG>& queue, MSG* out, HWND filter, UINT low, UINT high, bool remove) {
  for (auto it = queue.begin(); it != queue.end();) {
    if (it->hwnd && !Find(it->hwnd)) {
      it = queue.erase(it);  // its window is gone
      continue;
    }
    if ((!filter || it->hwnd == filter) && InRange(it->message, low, high)) {
      *out = *it;
      if (remove) queue.erase(it);
      return true;
    }
    ++it;
  }
  return false;
}

bool Retrieve(MSG* out, HWND filter, UINT low, UINT high, bool remove) {
  State& s = S();
  {
    std::lock_guard<std::mutex> guard(s.postLock);
    if (TakeFrom(s.posted, out, filter, low, high, remove)) return true;
    if (s.quitPending && !filter && InRange(WM_QUIT, low, high)) {
      *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0);
      if (remove) s.quitPending = false;
      return true;
    }
  }
  if (TakeFrom(s.input, out, filter, low, high, remove)) return true;
  if (InRange(WM_PAINT, low, high)) {
    for (auto& [hwnd, r] : s.windows) {
      if (r.visible && r.invalid && !r.destroying && (!filter || hwnd == filter)) {
        *out = MakeMessage(hwnd, WM_PAINT, 0, 0);
        return true;
      }
    }
  }
  if (InRange(WM_TIMER, low, high)) {
    const DWORD now = timeGetTime();
    for (Timer& t : s.timers) {
      if ((filter && t.hwnd != filter) || static_cast<int32_t>(now - t.due) < 0) continue;
      *out = MakeMessage(t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
      if (remove) t.due = now + t.elapse;
      return true;
    }
  }
  return false;
}

void SendSize(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  if (!r) return;
  const SIZE client = ClientSize(*r);
  SendMessage(hwnd, WM_SIZE, r->minimized ? SIZE_MINIMIZED : SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
}

}  // namespace

HWND WindowCreate(CWnd* wnd, CREATESTRUCT& cs) {
  OnOwnerThread();
  State& s = S();
  if (!wnd) return nullptr;
  if (cs.hwndParent && !Find(cs.hwndParent)) return nullptr;
  const HWND hwnd = reinterpret_cast<HWND>(s.nextHandle);
  s.nextHandle += 4;
  WindowRecord record;
  record.wnd = wnd;
  record.parent = cs.hwndParent;
  record.id = cs.id;
  record.style = cs.style & ~WS_VISIBLE;
  record.exStyle = cs.dwExStyle;
  record.hasMenu = cs.hasMenu && !(cs.style & WS_CHILD);
  record.text = cs.lpszName ? cs.lpszName : "";
  const POINT border = BorderSize(record);
  const int x = cs.x == CW_USEDEFAULT ? 0 : cs.x;
  const int y = cs.y == CW_USEDEFAULT ? 0 : cs.y;
  const int cx = cs.cx == CW_USEDEFAULT ? kScreenWidth + border.x : std::max(0, cs.cx);
  const int cy = cs.cy == CW_USEDEFAULT ? kScreenHeight + border.y : std::max(0, cs.cy);
  record.rect = RECT{x, y, x + cx, y + cy};
  s.windows.emplace(hwnd, std::move(record));
  if (WindowRecord* parent = Find(cs.hwndParent)) parent->children.push_back(hwnd);
  wnd->m_hWnd = hwnd;

  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  SendSize(hwnd);
  if (WindowRecord* r = Find(hwnd)) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(r->rect.left, r->rect.top));
  if (cs.style & WS_VISIBLE) ShowWindow(hwnd, (cs.style & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
  return Find(hwnd) ? hwnd : nullptr;
}

CWnd* WindowObject(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  return r ? r->wnd : nullptr;
}

const MSG& WindowCurrentMessage() { return S().current; }

void WindowDetach(HWND hwnd) {
  if (WindowRecord* r = Find(hwnd)) r->wnd = nullptr;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL IsWindowVisible(HWND hwnd) {
  for (WindowRecord* r = Find(hwnd); r; r = Find(r->parent))
    if (!r->visible) return FALSE;
  return Find(hwnd) != nullptr;
}

BOOL IsIconic(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  return r && r->minimized;
}

BOOL DestroyWindow(HWND hwnd) {
  State& s = S();
  WindowRecord* r = Find(hwnd);
  if (!r || r->destroying) return FALSE;
  r->destroying = true;
  r->visible = false;
  TakeFocusAndActivationFrom(hwnd);
  if (s.capture && IsDescendant(s.capture, hwnd)) s.capture = nullptr;
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  if ((r = Find(hwnd)) != nullptr) {
    const std::vector<HWND> children = r->children;
    for (HWND child : children) DestroyWindow(child);
  }
  s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                 s.timers.end());
  SendMessage(hwnd, WM_NCDESTROY, 0, 0);
  if ((r = Find(hwnd)) != nullptr) {
    if (WindowRecord* parent = Find(r->parent))
      parent->children.erase(std::remove(parent->children.begin(), parent->children.end(), hwnd),
                             parent->children.end());
    s.windows.erase(hwnd);
  }
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int command) {
  State& s = S();
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  const BOOL wasVisible = r->visible ? TRUE : FALSE;
  switch (command) {
    case SW_HIDE:
      if (!r->visible) break;
      r->visible = false;
      SendMessage(hwnd, WM_SHOWWINDOW, FALSE, 0);
      TakeFocusAndActivationFrom(hwnd);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: {
      if (!r->visible) SendMessage(hwnd, WM_SHOWWINDOW, TRUE, 0);
      if ((r = Find(hwnd)) == nullptr) break;
      r->visible = true;
      r->minimized = true;
      SendSize(hwnd);
      if (command == SW_MINIMIZE && s.active == hwnd) {
        s.active = nullptr;
        SendMessage(hwnd, WM_ACTIVATE, MAKELPARAM(WA_INACTIVE, 1), 0);
      }
      break;
    }
    default: {
      const bool restore = r->minimized;
      if (!r->visible) {
        r->visible = true;
        r->invalid = r->erase = true;
        SendMessage(hwnd, WM_SHOWWINDOW, TRUE, 0);
      }
      if ((r = Find(hwnd)) == nullptr) break;
      if (restore) {
        r->minimized = false;
        r->invalid = r->erase = true;
        SendSize(hwnd);
      }
      const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
      if ((r = Find(hwnd)) != nullptr && activate && !(r->style & WS_CHILD)) SetActiveWindow(hwnd);
      break;
    }
  }
  return wasVisible;
}

HWND SetActiveWindow(HWND hwnd) {
  State& s = S();
  if (hwnd) {
    WindowRecord* r = Find(hwnd);
    if (!r || r->destroying) return nullptr;
    hwnd = TopLevel(hwnd);
  }
  const HWND old = s.active;
  if (old == hwnd) return old;
  s.active = hwnd;
  if (old && Find(old)) SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  if (hwnd && Find(hwnd)) {
    WindowRecord* r = Find(hwnd);
    SendMessage(hwnd, WM_ACTIVATE, MAKELPARAM(WA_ACTIVE, r->minimized ? 1 : 0), reinterpret_cast<LPARAM>(old));
  }
  return old;
}

HWND GetActiveWindow() { return S().active; }

HWND SetFocus(HWND hwnd) {
  State& s = S();
  if (hwnd) {
    WindowRecord* r = Find(hwnd);
    if (!r || r->destroying) return nullptr;
    const HWND top = TopLevel(hwnd);
    if (s.active != top) {
      SetActiveWindow(top);  // may already move the focus to top
      if (!Find(hwnd)) return nullptr;
    }
  }
  const HWND old = s.focus;
  if (old == hwnd) return old;
  s.focus = hwnd;
  if (old && Find(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && Find(hwnd) && s.focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return S().focus; }

HWND SetCapture(HWND hwnd) {
  const HWND old = S().capture;
  S().capture = Find(hwnd) ? hwnd : nullptr;
  return old;
}

BOOL ReleaseCapture() {
  S().capture = nullptr;
  return TRUE;
}

HWND GetParent(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  return r ? r->parent : nullptr;
}

HWND GetDescendantWindow(HWND hwnd, UINT_PTR id) {
  WindowRecord* r = Find(hwnd);
  if (!r) return nullptr;
  for (HWND child : r->children) {
    WindowRecord* c = Find(child);
    if (c && c->id == id) return child;
  }
  for (HWND child : r->children)
    if (HWND found = GetDescendantWindow(child, id)) return found;
  return nullptr;
}

std::vector<HWND> GetChildWindows(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  return r ? r->children : std::vector<HWND>();
}

UINT_PTR GetDlgCtrlID(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  return r ? r->id : 0;
}

BOOL InvalidateRect(HWND hwnd, const RECT* /*rect*/, BOOL erase) {
  if (!hwnd) {
    for (auto& [handle, r] : S().windows) {
      r.invalid = true;
      r.erase = r.erase || erase;
    }
    return TRUE;
  }
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  r->invalid = true;
  r->erase = r->erase || erase;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* /*rect*/) {
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  r->invalid = r->erase = false;
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  if (r->invalid && IsWindowVisible(hwnd)) SendMessage(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* /*region*/, UINT flags) {
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  if (flags & (RDW_INVALIDATE | RDW_INTERNALPAINT)) r->invalid = true;
  if ((flags & RDW_INVALIDATE) && (flags & RDW_ERASE)) r->erase = true;
  if (flags & RDW_NOERASE) r->erase = false;
  if (flags & RDW_VALIDATE) r->invalid = r->erase = false;
  if ((flags & RDW_ERASENOW) && r->invalid && r->erase && IsWindowVisible(hwnd)) {
    r->erase = false;
    SendMessage(hwnd, WM_ERASEBKGND, 0, 0);
  }
  if ((flags & RDW_UPDATENOW) && (r = Find(hwnd)) != nullptr && r->invalid && IsWindowVisible(hwnd))
    SendMessage(hwnd, WM_PAINT, 0, 0);
  (void)rect;
  return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  WindowRecord* r = Find(hwnd);
  if (!r || !paint) return nullptr;
  const bool erase = r->erase;
  r->invalid = r->erase = false;
  const HDC hdc = reinterpret_cast<HDC>(hwnd);
  const SIZE client = ClientSize(*r);
  paint->hdc = hdc;
  paint->rcPaint = RECT{0, 0, client.cx, client.cy};
  paint->fErase = FALSE;
  if (erase) paint->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND /*hwnd*/, const PAINTSTRUCT* /*paint*/) { return TRUE; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  State& s = S();
  if (hwnd && !Find(hwnd)) return 0;
  if (!hwnd) id = s.nextTimerId++;
  elapse = std::max<UINT>(elapse, 1);
  const DWORD due = timeGetTime() + elapse;
  for (Timer& t : s.timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t = Timer{hwnd, id, elapse, due, proc};
      return hwnd ? (id ? id : 1) : id;
    }
  }
  s.timers.push_back(Timer{hwnd, id, elapse, due, proc});
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  State& s = S();
  const auto before = s.timers.size();
  s.timers.erase(
      std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }),
      s.timers.end());
  return s.timers.size() != before;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg || !OnOwnerThread()) return FALSE;
  PumpInput();
  return Retrieve(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg || !OnOwnerThread()) return -1;
  for (;;) {
    PumpInput();
    if (Retrieve(msg, hwnd, filterMin, filterMax, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    Sleep(1);
  }
}

BOOL TranslateMessage(const MSG* /*msg*/) { return FALSE; }

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  return CallWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  State& s = S();
  const bool owner = OnOwnerThread();
  if (hwnd && owner && !Find(hwnd)) return FALSE;
  MSG msg{hwnd, message, wParam, lParam, timeGetTime(), POINT{}};
  if (owner) msg.pt = s.cursor;
  std::lock_guard<std::mutex> guard(s.postLock);
  s.posted.push_back(msg);
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindow(hwnd, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.postLock);
  s.quitPending = true;
  s.quitCode = exitCode;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) SetFocus(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (pos && !(pos->flags & SWP_NOSIZE)) SendSize(hwnd);
      WindowRecord* r = Find(hwnd);
      if (r && pos && !(pos->flags & SWP_NOMOVE)) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(r->rect.left, r->rect.top));
      return 0;
    }
    default:
      return 0;
  }
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!Find(hwnd)) return FALSE;
  WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
  SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  const int width = r->rect.right - r->rect.left;
  const int height = r->rect.bottom - r->rect.top;
  if (!(pos.flags & SWP_NOMOVE)) r->rect = RECT{pos.x, pos.y, pos.x + width, pos.y + height};
  if (!(pos.flags & SWP_NOSIZE)) {
    r->rect.right = r->rect.left + std::max(0, pos.cx);
    r->rect.bottom = r->rect.top + std::max(0, pos.cy);
    r->invalid = r->erase = true;
  }
  if (pos.flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (pos.flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (pos.flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (!Find(hwnd)) return FALSE;
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL /*repaint*/) {
  return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  WindowRecord* r = Find(hwnd);
  if (!r || !rect) return FALSE;
  *rect = r->rect;
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  WindowRecord* r = Find(hwnd);
  if (!r || !rect) return FALSE;
  const SIZE client = ClientSize(*r);
  *rect = RECT{0, 0, client.cx, client.cy};
  return TRUE;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
  WindowRecord* r = Find(hwnd);
  if (!r) return FALSE;
  r->text = text ? text : "";
  return TRUE;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
  WindowRecord* r = Find(hwnd);
  if (!r || !buffer || size <= 0) return 0;
  const int n = std::min(static_cast<int>(r->text.size()), size - 1);
  r->text.copy(buffer, static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return kScreenWidth;
    case SM_CYSCREEN:
      return kScreenHeight;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kFrame;
    case SM_CYCAPTION:
      return kCaption;
    case SM_CYMENU:
      return kMenuBar;
    default:
      return 0;
  }
}

int ShowCursor(BOOL show) {
  State& s = S();
  s.cursorShown = show != FALSE;
  PlatformBackendGet().input->ShowSystemCursor(s.cursorShown);
  return s.cursorShown ? 0 : -1;
}

HCURSOR LoadCursor(const void* instance, UINT id) {
  // The program's resources and the system's are numbered apart.
  const uintptr_t system = instance ? 0 : uintptr_t{1} << 20;
  return reinterpret_cast<HCURSOR>(system | (uintptr_t{id} & 0xFFFFF) | 1u << 21);
}

HCURSOR GetCursor() { return S().cursorShape; }

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR old = S().cursorShape;
  S().cursorShape = cursor;
  return old;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = S().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  S().cursor = POINT{std::clamp(x, 0, kScreenWidth - 1), std::clamp(y, 0, kScreenHeight - 1)};
  return TRUE;
}

void MessageQueueReset() {
  State& s = S();
  {
    std::lock_guard<std::mutex> guard(s.postLock);
    s.posted.clear();
    s.quitPending = false;
    s.quitCode = 0;
  }
  s.input.clear();
  s.buttons = 0;
  s.keyDown.fill(false);
  for (auto& [hwnd, r] : s.windows) r.invalid = r.erase = false;
  std::lock_guard<std::mutex> guard(s.ownerLock);
  s.ownerSet = false;
}

int WindowCount() { return static_cast<int>(S().windows.size()); }
