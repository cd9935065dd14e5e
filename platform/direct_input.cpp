#include "platform/direct_input.h"

#include <algorithm>
#include <cstring>

#include "platform/backend.h"

namespace {

// Steps a test asked to fail, one bit per DirectInputStep (main thread).
unsigned g_FailNext = 0;

bool TakeFailure(DirectInputStep step) {
  const unsigned bit = 1u << static_cast<unsigned>(step);
  if (!(g_FailNext & bit)) return false;
  g_FailNext &= ~bit;
  return true;
}

}  // namespace

void DirectInputFailNext(DirectInputStep step) { g_FailNext |= 1u << static_cast<unsigned>(step); }

HRESULT DirectInputCreateA(void* /*instance*/, DWORD /*version*/, IDirectInput** out, void* /*outer*/) {
  if (!out) return DIERR_INVALIDPARAM;
  *out = nullptr;
  if (TakeFailure(DirectInputStep::Create)) return DIERR_GENERIC;
  *out = new IDirectInput(PlatformBackendGet().input.get());
  return DI_OK;
}

HRESULT IDirectInput::CreateDevice(REFGUID device, IDirectInputDevice** out, void* /*outer*/) {
  if (!out) return DIERR_INVALIDPARAM;
  *out = nullptr;
  const bool keyboard = device == GUID_SysKeyboard;
  if (!keyboard && device != GUID_SysMouse) return DIERR_DEVICENOTREG;
  if (TakeFailure(keyboard ? DirectInputStep::CreateKeyboard : DirectInputStep::CreateMouse)) return DIERR_GENERIC;
  *out = new IDirectInputDevice(input_, keyboard);
  return DI_OK;
}

ULONG IDirectInput::Release() {
  delete this;
  return 0;
}

HRESULT IDirectInputDevice::SetDataFormat(const DIDATAFORMAT* format) {
  if (TakeFailure(DirectInputStep::SetDataFormat)) return DIERR_GENERIC;
  const DIDATAFORMAT& expected = keyboard_ ? c_dfDIKeyboard : c_dfDIMouse;
  if (!format || format->dwDataSize != expected.dwDataSize) return DIERR_INVALIDPARAM;
  dataSize_ = format->dwDataSize;
  return DI_OK;
}

HRESULT IDirectInputDevice::SetCooperativeLevel(HWND /*window*/, DWORD flags) {
  const bool oneOfEach = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0) &&
                         ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
  if (!oneOfEach) return DIERR_INVALIDPARAM;
  cooperation_ = flags;
  return DI_OK;
}

HRESULT IDirectInputDevice::SetProperty(REFGUID property, const DIPROPHEADER* header) {
  if (TakeFailure(DirectInputStep::SetProperty)) return DIERR_GENERIC;
  if (!header || header->dwHow != DIPH_DEVICE || header->dwSize != sizeof(DIPROPDWORD)) return DIERR_INVALIDPARAM;
  const auto* value = reinterpret_cast<const DIPROPDWORD*>(header);
  if (property == DIPROP_BUFFERSIZE) {
    bufferSize_ = value->dwData;
    return DI_OK;
  }
  if (property == DIPROP_AXISMODE && !keyboard_) {
    return value->dwData == DIPROPAXISMODE_REL ? DI_OK : DIERR_INVALIDPARAM;
  }
  return DIERR_INVALIDPARAM;
}

HRESULT IDirectInputDevice::Acquire() {
  if (dataSize_ == 0) return DIERR_INVALIDPARAM;
  if ((cooperation_ & DISCL_FOREGROUND) && !input_->HasFocus()) return DIERR_OTHERAPPHASPRIO;
  acquiredAtLosses_ = input_->FocusLosses();
  acquired_ = true;
  return DI_OK;
}

HRESULT IDirectInputDevice::Unacquire() {
  acquired_ = false;
  return DI_OK;
}

HRESULT IDirectInputDevice::ReadyToRead() {
  if (!acquired_) return DIERR_NOTACQUIRED;
  if ((cooperation_ & DISCL_FOREGROUND) && input_->FocusLosses() != acquiredAtLosses_) {
    // Lost once; until the next Acquire the device is simply not acquired.
    if (acquired_.exchange(false)) return DIERR_INPUTLOST;
    return DIERR_NOTACQUIRED;
  }
  return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceState(DWORD size, void* data) {
  if (!data || dataSize_ == 0 || size != dataSize_) return DIERR_INVALIDPARAM;
  if (const HRESULT ready = ReadyToRead(); ready != DI_OK) return ready;
  if (keyboard_) {
    KeyboardState keys;
    input_->ReadKeyboard(&keys);
    std::memcpy(data, keys.data(), keys.size());
    return DI_OK;
  }
  MouseReading mouse;
  input_->ReadMouse(&mouse);
  DIMOUSESTATE state;
  state.lX = mouse.dx;
  state.lY = mouse.dy;
  state.lZ = mouse.wheel;
  std::copy(std::begin(mouse.buttons), std::end(mouse.buttons), state.rgbButtons);
  std::memcpy(data, &state, sizeof state);
  return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count,
                                          DWORD /*flags*/) {
  if (!count || recordSize != sizeof(DIDEVICEOBJECTDATA) || (*count && !records) || dataSize_ == 0)
    return DIERR_INVALIDPARAM;
  if (!keyboard_ || bufferSize_ == 0) return DIERR_NOTBUFFERED;
  if (const HRESULT ready = ReadyToRead(); ready != DI_OK) return ready;
  const DWORD room = std::min(*count, bufferSize_);
  DWORD filled = 0;
  for (int scanCode = 0; filled < room && input_->TakeKeyPress(scanCode, &scanCode);) {
    records[filled] = DIDEVICEOBJECTDATA{};
    records[filled].dwOfs = static_cast<DWORD>(scanCode);
    records[filled].dwData = 0x80;
    ++filled;
  }
  *count = filled;
  return DI_OK;
}

ULONG IDirectInputDevice::Release() {
  delete this;
  return 0;
}
