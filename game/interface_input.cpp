// The interface manager's input: the DirectInput keyboard and mouse, the key
// tables with their latches, the menu cursor and the input thread.
#include <algorithm>

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/joystick.h"
#include "game/key_codes.h"
#include "platform/clock.h"

std::atomic<bool> g_InputThreadStop{false};

namespace {

constexpr int32_t kKeyboardPollMs = 10;
constexpr int kCursorMaxX = 639;
constexpr int kCursorMaxY = 479;
constexpr DWORD kMouseBufferSize = 32;
constexpr DWORD kKeyBufferSize = 32;

bool IsLostOrNotAcquired(HRESULT result) { return result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED; }

// A device read; a device that was lost (another program took the focus) is
// acquired again and read once more.
HRESULT ReadDevice(IDirectInputDevice* device, DWORD size, void* data) {
  HRESULT result = device->GetDeviceState(size, data);
  if (IsLostOrNotAcquired(result)) {
    device->Acquire();
    result = device->GetDeviceState(size, data);
  }
  return result;
}

void ReleaseDevice(IDirectInputDevice** device) {
  if (!*device) return;
  (*device)->Unacquire();
  (*device)->Release();
  *device = nullptr;
}

DIPROPDWORD DeviceProperty(DWORD value) {
  DIPROPDWORD property;
  property.diph.dwSize = sizeof(DIPROPDWORD);
  property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  property.diph.dwObj = 0;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = value;
  return property;
}

}  // namespace

void CInputPollThread() {
  // The interface manager joins this thread before it clears g_pInterface,
  // so the pointer read here is always the live one. While a level loads the
  // thread does not look at the message queue: that queue is the main
  // thread's, and the loader's own looks keep the window responsive.
  while (!g_InputThreadStop) {
    CInterface* ui = g_pInterface;
    if (!ui) break;
    ui->PollKeyboard();
    PollJoystick();
    Sleep(kKeyboardPollMs);
  }
}

void CInterface::CreateInputDevices() {
  const HWND window = window_ ? window_->m_hWnd : nullptr;
  if (FAILED(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &directInput_, nullptr)) || !directInput_)
    CGameApp::FatalError("dd", 163);

  if (FAILED(directInput_->CreateDevice(GUID_SysKeyboard, &keyboard_, nullptr))) CGameApp::FatalError("dd", 171);
  if (FAILED(keyboard_->SetDataFormat(&c_dfDIKeyboard))) CGameApp::FatalError("dd", 175);
  // Cooperation and acquisition may fail here (no focus yet); the polls
  // acquire the device again.
  keyboard_->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  // The first poll reads at once. (A start of 0 would keep the signed gate
  // shut for as long as the clock is past 2^31 ms.)
  lastKeyboardPoll_ = timeGetTime() - kKeyboardPollMs;
  keyboard_->Acquire();

  if (FAILED(directInput_->CreateDevice(GUID_SysMouse, &mouse_, nullptr))) CGameApp::FatalError("dd", 190);
  if (FAILED(mouse_->SetDataFormat(&c_dfDIMouse))) CGameApp::FatalError("dd", 194);
  const DIPROPDWORD bufferSize = DeviceProperty(kMouseBufferSize);
  if (FAILED(mouse_->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph))) CGameApp::FatalError("dd", 200);
  const DIPROPDWORD relative = DeviceProperty(DIPROPAXISMODE_REL);
  if (FAILED(mouse_->SetProperty(DIPROP_AXISMODE, &relative.diph))) CGameApp::FatalError("dd", 205);
  mouse_->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  mouse_->Acquire();

  // The keyboard's buffer holds the presses made between two polls, which a
  // poll latches even when the key is up again by then.
  const DIPROPDWORD keyBuffer = DeviceProperty(kKeyBufferSize);
  keyboard_->SetProperty(DIPROP_BUFFERSIZE, &keyBuffer.diph);

  g_InputThreadStop = false;
  inputThread_ = std::thread(CInputPollThread);
}

void CInterface::StopInputThread() {
  g_InputThreadStop = true;
  // The thread may be inside a poll; the devices it reads go only after it
  // has ended.
  if (inputThread_.joinable()) inputThread_.join();
}

void CInterface::ReleaseInputDevices() {
  StopInputThread();
  ReleaseDevice(&mouse_);
  ReleaseDevice(&keyboard_);
  if (directInput_) directInput_->Release();
  directInput_ = nullptr;
}

void CInterface::PollKeyboard() {
  // Under the lock a query that finds the other thread reading waits for its
  // read to be stored, so that it never answers from tables half filled.
  std::lock_guard<std::mutex> guard(keyboardLock_);
  const DWORD now = timeGetTime();
  if (static_cast<int32_t>(now - lastKeyboardPoll_) < kKeyboardPollMs) return;
  lastKeyboardPoll_ = now;
  ReadKeyboard(true);
}

void CInterface::ReadKeyboard(bool latchPresses) {
  if (!keyboard_) return;
  uint8_t state[256];
  // On any failure both tables keep what they held.
  if (FAILED(ReadDevice(keyboard_, sizeof state, state))) return;
  for (int i = 0; i < 256; ++i) {
    keyState_[i] = state[i];
    if (state[i] & 0x80) latchedKeys_[i] |= 1;
  }
  // Keys pressed since the last poll and already up again are latched too:
  // input arrives in batches, so such a press would otherwise be lost.
  DIDEVICEOBJECTDATA presses[kKeyBufferSize];
  for (;;) {
    DWORD count = kKeyBufferSize;
    if (FAILED(keyboard_->GetDeviceData(sizeof presses[0], presses, &count, 0)) || count == 0) break;
    if (!latchPresses) continue;
    for (DWORD i = 0; i < count; ++i)
      if (presses[i].dwOfs < 256 && (presses[i].dwData & 0x80)) latchedKeys_[presses[i].dwOfs] |= 1;
  }
}

bool CInterface::IsKeyDown(int code) {
  PollKeyboard();
  PollJoystick();
  if (const int joystick = JoystickIndexOf(code); joystick >= 0) return JoystickKeyDown(joystick);
  const int key = KeyboardIndexOf(code);
  return key >= 0 && (keyState_[key] & 0x80) != 0;
}

bool CInterface::IsKeyPressed(int code) {
  PollKeyboard();
  PollJoystick();
  if (const int joystick = JoystickIndexOf(code); joystick >= 0) return JoystickKeyDown(joystick);
  const int key = KeyboardIndexOf(code);
  if (key < 0) return false;
  // One exchange: a latch the input thread sets after it stays for the next
  // query, so no press is lost.
  const bool latched = (latchedKeys_[key].exchange(0) & 1) != 0;
  return latched || (keyState_[key] & 0x80) != 0;
}

void CInterface::ClearKeys() {
  std::lock_guard<std::mutex> guard(keyboardLock_);
  for (int i = 0; i < 256; ++i) keyState_[i] = latchedKeys_[i] = 0;
  // Read at once, whatever the gate says (a forgotten poll time of 0 would
  // not open it while the clock is past 2^31 ms): keys still held come back;
  // presses already over are forgotten with the rest.
  lastKeyboardPoll_ = timeGetTime();
  ReadKeyboard(false);
}

void CInterface::DiscardMouseMotion() {
  if (!mouse_) return;
  DIMOUSESTATE state;
  ReadDevice(mouse_, sizeof state, &state);
}

void CInterface::PollMouse() {
  if (!mouse_) return;
  DIMOUSESTATE state;
  if (FAILED(ReadDevice(mouse_, sizeof state, &state))) return;
  cursorX_ = static_cast<int>(std::clamp<int64_t>(int64_t{cursorX_} + state.lX, 0, kCursorMaxX));
  cursorY_ = static_cast<int>(std::clamp<int64_t>(int64_t{cursorY_} + state.lY, 0, kCursorMaxY));
}
