#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/framework/wnd.h"
#include "platform/headless/headless_backend.h"
#include "platform/keys.h"

namespace {

const char* Name(UINT message) {
  switch (message) {
    case WM_CREATE:
      return "create";
    case WM_DESTROY:
      return "destroy";
    case WM_NCDESTROY:
      return "ncdestroy";
    case WM_SIZE:
      return "size";
    case WM_MOVE:
      return "move";
    case WM_ACTIVATE:
      return "activate";
    case WM_SETFOCUS:
      return "setfocus";
    case WM_KILLFOCUS:
      return "killfocus";
    case WM_PAINT:
      return "paint";
    case WM_ERASEBKGND:
      return "erase";
    case WM_SHOWWINDOW:
      return "show";
    case WM_TIMER:
      return "timer";
    case WM_CLOSE:
      return "close";
    case WM_WINDOWPOSCHANGING:
      return "poschanging";
    case WM_WINDOWPOSCHANGED:
      return "poschanged";
    case WM_KEYDOWN:
      return "keydown";
    case WM_KEYUP:
      return "keyup";
    case WM_SYSKEYDOWN:
      return "syskeydown";
    case WM_SYSKEYUP:
      return "syskeyup";
    case WM_CHAR:
      return "char";
    case WM_MOUSEMOVE:
      return "mousemove";
    case WM_LBUTTONDOWN:
      return "lbuttondown";
    case WM_LBUTTONUP:
      return "lbuttonup";
    default:
      return message >= WM_USER ? "user" : "other";
  }
}

using Log = std::vector<std::string>;

// Writes "name:message" for every message it gets, then handles it as a
// plain window does.
class CLogWnd : public CWnd {
 public:
  CLogWnd(Log* log, const char* name) : log_(log), name_(name) {}
  bool Open(DWORD style = WS_POPUP, CWnd* parent = nullptr) {
    return CreateEx(0, nullptr, name_, style, 0, 0, 640, 480, parent ? parent->m_hWnd : nullptr, parent ? 5 : 0);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    log_->push_back(std::string(name_) + ":" + Name(message));
    last = MSG{m_hWnd, message, wParam, lParam, 0, POINT{}};
    if (message == WM_WINDOWPOSCHANGING && shrinkTo > 0) reinterpret_cast<WINDOWPOS*>(lParam)->cx = shrinkTo;
    if (message == WM_SIZE) size = CPoint(LOWORD(lParam), HIWORD(lParam));
    if (message == WM_ACTIVATE) activeState = LOWORD(wParam);
    if (message == WM_CLOSE && keepOpen) return 0;
    return CWnd::WindowProc(message, wParam, lParam);
  }
  MSG last;
  CPoint size;
  int shrinkTo = 0;
  UINT activeState = 99;
  bool keepOpen = false;

 private:
  Log* log_;
  const char* name_;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageQueueReset();
    ClockUseFixedStep(20);
    ClockSetTime(5000000);
    input_ = HeadlessBackendInstall();
    SetCursorPos(320, 240);
  }
  void TearDown() override {
    ClockUseRealTime();
    MessageQueueReset();
  }
  // Takes and dispatches everything that is waiting.
  void Drain() {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }
  void Key(InputEventType type, int scanCode) {
    InputEvent e;
    e.type = type;
    e.scanCode = scanCode;
    input_->Inject(e);
  }

  HeadlessInput* input_ = nullptr;
  Log log_;
};

}  // namespace

TEST_F(WindowTest, CreationSendsCreateSizeMoveAndShowingActivates) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_VISIBLE));
  EXPECT_EQ(log_, (Log{"w:create", "w:size", "w:move", "w:show", "w:activate", "w:setfocus"}));
  EXPECT_EQ(GetActiveWindow(), w.m_hWnd);
  EXPECT_EQ(GetFocus(), w.m_hWnd);
  EXPECT_EQ(w.size.x, 640);
  EXPECT_EQ(w.size.y, 480);
  EXPECT_TRUE(IsWindow(w.m_hWnd));
}

TEST_F(WindowTest, SentMessagesArriveAtOncePostedOnesWhenDispatched) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open());
  log_.clear();
  ASSERT_TRUE(PostMessage(w.m_hWnd, WM_USER + 1, 5, 6));
  w.SendMessage(WM_USER + 2, 7, 8);
  EXPECT_EQ(log_, Log{"w:user"});
  EXPECT_EQ(w.last.message, WM_USER + 2u);

  MSG msg;
  for (int i = 0; i < 2; ++i) {  // looking does not take it
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_EQ(msg.wParam, 5u);
  }
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  DispatchMessage(&msg);
  EXPECT_EQ(w.last.message, WM_USER + 1u);
  EXPECT_EQ(w.last.lParam, 6);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowTest, PostedThenInputThenPaintThenTimer) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_VISIBLE));  // shown: needs a paint
  w.SetTimer(1, 10, nullptr);
  Sleep(10);
  Key(InputEventType::KeyDown, DIK_A);
  PostMessage(w.m_hWnd, WM_USER, 0, 0);
  std::vector<UINT> order;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    DispatchMessage(&msg);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_PAINT, WM_TIMER}));
}

TEST_F(WindowTest, PaintingIsSynchronousWhenAskedAndOnlyForVisibleInvalidWindows) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_VISIBLE));
  Drain();
  log_.clear();
  w.InvalidateRect(nullptr, TRUE);
  w.UpdateWindow();
  EXPECT_EQ(log_, (Log{"w:paint", "w:erase"}));
  w.UpdateWindow();  // valid again: nothing
  EXPECT_EQ(log_.size(), 2u);
  log_.clear();
  w.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
  EXPECT_EQ(log_, Log{"w:paint"});

  w.ShowWindow(SW_HIDE);
  log_.clear();
  w.Invalidate();
  w.UpdateWindow();
  w.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(log_, Log{});
}

TEST_F(WindowTest, TimersFireWhenDueAndRestartWhenTaken) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open());
  w.SetTimer(7, 100, nullptr);
  MSG msg;
  Sleep(99);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  Sleep(1);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));  // still there
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  Sleep(100);
  EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(w.KillTimer(7));
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));

  static int calls = 0;
  calls = 0;
  const UINT_PTR id = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
  ASSERT_NE(id, 0u);
  Sleep(50);
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, id);
  DispatchMessage(&msg);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(WindowTest, ActivationMovesFocusAndDestroyingGoesChildrenFirst) {
  CLogWnd a(&log_, "a"), b(&log_, "b"), child(&log_, "c");
  ASSERT_TRUE(a.Open(WS_POPUP | WS_VISIBLE));
  ASSERT_TRUE(b.Open(WS_POPUP));
  ASSERT_TRUE(child.Open(WS_CHILD | WS_VISIBLE, &b));
  EXPECT_EQ(b.GetDescendantWindow(5), &child);
  log_.clear();
  b.ShowWindow(SW_SHOW);
  EXPECT_EQ(log_, (Log{"b:show", "a:activate", "b:activate", "a:killfocus", "b:setfocus"}));
  EXPECT_EQ(GetActiveWindow(), b.m_hWnd);
  EXPECT_EQ(GetFocus(), b.m_hWnd);
  EXPECT_EQ(a.activeState, WA_INACTIVE);
  EXPECT_EQ(b.activeState, WA_ACTIVE);

  child.SetFocus();
  EXPECT_EQ(GetFocus(), child.m_hWnd);
  Drain();
  b.SetTimer(3, 10, nullptr);
  PostMessage(b.m_hWnd, WM_USER, 0, 0);
  log_.clear();
  const HWND bh = b.m_hWnd;
  ASSERT_TRUE(b.DestroyWindow());
  EXPECT_EQ(log_, (Log{"c:killfocus", "b:activate", "b:destroy", "c:destroy", "c:ncdestroy", "b:ncdestroy"}));
  EXPECT_FALSE(IsWindow(bh));
  EXPECT_EQ(b.m_hWnd, nullptr);
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  Sleep(20);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));  // its timer and message went with it
  EXPECT_EQ(WindowCount(), 1);
}

TEST_F(WindowTest, BackEndInputBecomesKeyboardAndMouseMessages) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_VISIBLE));
  Drain();
  struct Case {
    InputEvent event;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {
      {{InputEventType::KeyDown, DIK_A}, WM_KEYDOWN, 'A', 1 | (0x1E << 16)},
      {{InputEventType::KeyDown, DIK_A}, WM_KEYDOWN, 'A', 1 | (0x1E << 16) | (1 << 30)},  // repeat
      {{InputEventType::Char, 0, 'a'}, WM_CHAR, 'a', 1},
      {{InputEventType::KeyUp, DIK_A}, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001u | (0x1E << 16))},
      {{InputEventType::KeyDown, DIK_UP}, WM_KEYDOWN, VK_UP, 1 | (0x48 << 16) | (1 << 24)},
      {{InputEventType::KeyDown, DIK_LMENU}, WM_SYSKEYDOWN, VK_MENU, 1 | (0x38 << 16) | (1 << 29)},
      {{InputEventType::KeyDown, DIK_X}, WM_SYSKEYDOWN, 'X', 1 | (0x2D << 16) | (1 << 29)},
      {{InputEventType::MouseMove, 0, 0, 10, -5}, WM_MOUSEMOVE, 0, MAKELPARAM(330, 235)},
      {{InputEventType::MouseMove, 0, 0, 5000, -5000}, WM_MOUSEMOVE, 0, MAKELPARAM(639, 0)},
      {{InputEventType::MouseButtonDown, 0, 0, 0, 0, kMouseLeft}, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(639, 0)},
      {{InputEventType::MouseButtonUp, 0, 0, 0, 0, kMouseLeft}, WM_LBUTTONUP, 0, MAKELPARAM(639, 0)},
  };
  for (const Case& c : cases) {
    input_->Inject(c.event);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, w.m_hWnd);
    EXPECT_EQ(msg.message, c.message) << Name(c.message);
    EXPECT_EQ(msg.wParam, c.wParam) << Name(c.message);
    EXPECT_EQ(msg.lParam, c.lParam) << Name(c.message);
  }
}

TEST_F(WindowTest, TheCursorIsShownOrHiddenByTheLastCallNotByACount) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);  // once is enough, however often it was hidden
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  // The program's cursors and the system's are told apart.
  const int otherInstance = 0;
  EXPECT_NE(LoadCursor(nullptr, IDC_ARROW), LoadCursor(this, IDC_ARROW));
  EXPECT_EQ(LoadCursor(this, 105), LoadCursor(&otherInstance, 105));
  EXPECT_NE(LoadCursor(this, 105), LoadCursor(this, 106));
}

TEST_F(WindowTest, QuitEndsGetMessageWithItsCode) {
  PostMessage(nullptr, WM_USER, 0, 0);
  input_->Inject(InputEvent{InputEventType::Quit});
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 0u);
  PostQuitMessage(3);
  EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowTest, PositionChangesCanBeAdjustedAndGiveTheClientSize) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_CAPTION | WS_THICKFRAME));
  RECT client;
  w.GetClientRect(&client);
  EXPECT_EQ(client.right, 640 - 8);
  EXPECT_EQ(client.bottom, 480 - 8 - 19);
  w.shrinkTo = 300;
  log_.clear();
  w.SetWindowPos(nullptr, 10, 20, 500, 400, SWP_NOZORDER);
  EXPECT_EQ(log_, (Log{"w:poschanging", "w:poschanged", "w:size", "w:move"}));
  EXPECT_EQ(w.size.x, 300 - 8);
  EXPECT_EQ(w.size.y, 400 - 8 - 19);
  RECT rect;
  w.GetWindowRect(&rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.right, 310);
  log_.clear();
  w.SetWindowPos(nullptr, 0, 0, 50, 50, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(log_, (Log{"w:poschanging", "w:poschanged", "w:move"}));
  w.GetWindowRect(&rect);
  EXPECT_EQ(rect.right - rect.left, 300);
}

TEST_F(WindowTest, CloseDestroysUnlessTheWindowRefuses) {
  CLogWnd stubborn(&log_, "s"), plain(&log_, "p");
  ASSERT_TRUE(stubborn.Open());
  ASSERT_TRUE(plain.Open());
  stubborn.keepOpen = true;
  stubborn.SendMessage(WM_CLOSE);
  plain.SendMessage(WM_CLOSE);
  EXPECT_NE(stubborn.m_hWnd, nullptr);
  EXPECT_EQ(plain.m_hWnd, nullptr);
}

TEST_F(WindowTest, OtherThreadsMayPostButSeeNoQueue) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open());
  MSG msg;
  ASSERT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));  // this thread owns the queue
  BOOL peeked = TRUE;
  std::thread other([&] {
    PostMessage(w.m_hWnd, WM_USER + 9, 1, 2);
    MSG m;
    peeked = PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
  });
  other.join();
  EXPECT_FALSE(peeked);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 9u);
}

TEST_F(WindowTest, TheProgramLosingAndRegainingTheFocusActivatesItsWindow) {
  CLogWnd w(&log_, "w");
  ASSERT_TRUE(w.Open(WS_POPUP | WS_VISIBLE));
  Drain();
  log_.clear();
  InputEvent focus{InputEventType::Activate};
  focus.active = false;
  input_->Inject(focus);
  Drain();
  EXPECT_EQ(log_, (Log{"w:killfocus", "w:activate"}));
  EXPECT_EQ(w.activeState, WA_INACTIVE);
  EXPECT_EQ(GetActiveWindow(), nullptr);

  log_.clear();
  focus.active = true;
  input_->Inject(focus);
  Drain();
  EXPECT_EQ(log_, (Log{"w:activate", "w:setfocus"}));
  EXPECT_EQ(w.activeState, WA_ACTIVE);
  EXPECT_EQ(GetFocus(), w.m_hWnd);

  // Activated while active: the screen was switched under the program.
  log_.clear();
  input_->Inject(focus);
  Drain();
  EXPECT_EQ(log_, Log{"w:activate"});
  EXPECT_EQ(w.activeState, WA_ACTIVE);

  // Minimised: the window gets its minimised size, then comes back.
  log_.clear();
  InputEvent minimised{InputEventType::Activate};
  minimised.minimized = true;
  input_->Inject(minimised);
  Drain();
  EXPECT_TRUE(w.IsIconic());
  EXPECT_EQ(w.activeState, WA_INACTIVE);
  EXPECT_EQ(GetFocus(), nullptr);
  input_->Inject(focus);
  Drain();
  EXPECT_FALSE(w.IsIconic());
  EXPECT_EQ(w.size.x, 640);
  EXPECT_EQ(GetActiveWindow(), w.m_hWnd);
  EXPECT_EQ(GetFocus(), w.m_hWnd);
  w.DestroyWindow();
}
