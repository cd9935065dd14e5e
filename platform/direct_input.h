#pragma once
// DirectInput 5, as far as the interface manager uses it: one DirectInput
// object that makes the system keyboard and the system mouse as devices,
// read by polling their whole state.
//
// The devices read the back end's input (platform/input.h) that was
// installed when they were made; it must outlive them. The keyboard's state
// is 256 bytes by scan code, 0x80 for a key down now; its buffered data are
// the keys that went down since they were last read that way, so that a
// press shorter than the time between two polls is not lost. The mouse's
// state is a DIMOUSESTATE with the motion since the previous read.
//
// A device set to DISCL_FOREGROUND is lost when the window loses the input
// focus: its next read fails with DIERR_INPUTLOST, later ones with
// DIERR_NOTACQUIRED, and Acquire fails until the focus is back. A device
// must be given its data format and be acquired before it can be read.
//
// Threads: once set up, a keyboard may be acquired and read from any
// thread, also from two at once; everything else (making, setting up and
// releasing devices, the mouse) is for the main thread.
#include <atomic>
#include <cstdint>

#include "platform/framework/win_types.h"

class PlatformInput;

inline constexpr HRESULT DI_OK = 0;
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
inline constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x80040207);

inline constexpr DWORD DIRECTINPUT_VERSION = 0x0500;

inline constexpr DWORD DISCL_EXCLUSIVE = 0x1;
inline constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
inline constexpr DWORD DISCL_FOREGROUND = 0x4;
inline constexpr DWORD DISCL_BACKGROUND = 0x8;

// Names of devices and properties.
using REFGUID = const GUID&;
inline constexpr GUID GUID_SysMouse{0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_SysKeyboard{0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID DIPROP_BUFFERSIZE{1};
inline constexpr GUID DIPROP_AXISMODE{2};

// The standard data formats: the size of the state a read fills.
struct DIDATAFORMAT {
  DWORD dwDataSize = 0;
};
inline constexpr DIDATAFORMAT c_dfDIKeyboard{256};
inline constexpr DIDATAFORMAT c_dfDIMouse{16};

inline constexpr DWORD DIPH_DEVICE = 0;
inline constexpr DWORD DIPROPAXISMODE_ABS = 0;
inline constexpr DWORD DIPROPAXISMODE_REL = 1;
struct DIPROPHEADER {
  DWORD dwSize = 0;
  DWORD dwHeaderSize = 0;
  DWORD dwObj = 0;
  DWORD dwHow = DIPH_DEVICE;
};
struct DIPROPDWORD {
  DIPROPHEADER diph;
  DWORD dwData = 0;
};

struct DIMOUSESTATE {
  LONG lX = 0, lY = 0, lZ = 0;  // motion since the previous read; lZ the wheel
  BYTE rgbButtons[4] = {};      // 0x80 down
};
static_assert(sizeof(DIMOUSESTATE) == 16);

// One record of buffered data: a key (dwOfs, its scan code) went down
// (dwData 0x80).
struct DIDEVICEOBJECTDATA {
  DWORD dwOfs = 0;
  DWORD dwData = 0;
  DWORD dwTimeStamp = 0;
  DWORD dwSequence = 0;
};

class IDirectInputDevice {
 public:
  // c_dfDIKeyboard for a keyboard, c_dfDIMouse for a mouse; else
  // DIERR_INVALIDPARAM.
  HRESULT SetDataFormat(const DIDATAFORMAT* format);
  // DISCL_FOREGROUND or DISCL_BACKGROUND with DISCL_EXCLUSIVE or
  // DISCL_NONEXCLUSIVE.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // DIPROP_BUFFERSIZE (how many records GetDeviceData may hold) and
  // DIPROP_AXISMODE (a mouse's axes: relative is the only mode there is),
  // given as a DIPROPDWORD for the whole device.
  HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header);
  // Starts reading; DIERR_OTHERAPPHASPRIO while a foreground device's window
  // has no focus, DIERR_INVALIDPARAM before SetDataFormat.
  HRESULT Acquire();
  HRESULT Unacquire();
  // Fills size bytes (the data format's size) with the device's state.
  HRESULT GetDeviceState(DWORD size, void* data);
  // A keyboard's buffered data: up to *count records (at most the buffer
  // size) of keys that went down since they were last read here, in
  // scan-code order (releases are not recorded; time stamps are 0); *count
  // becomes the number filled, and presses that did not fit stay for the
  // next call. DIERR_NOTBUFFERED without a buffer size (and for a mouse).
  HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags);
  // Deletes the device; 0.
  ULONG Release();

 private:
  friend class IDirectInput;
  IDirectInputDevice(PlatformInput* input, bool keyboard) : input_(input), keyboard_(keyboard) {}
  ~IDirectInputDevice() = default;
  // DI_OK when the device may be read now; the lost and not-acquired
  // results otherwise.
  HRESULT ReadyToRead();

  PlatformInput* input_;
  const bool keyboard_;
  DWORD dataSize_ = 0;
  DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  DWORD bufferSize_ = 0;
  // Written by Acquire, read by every read (from any thread).
  std::atomic<bool> acquired_{false};
  std::atomic<uint32_t> acquiredAtLosses_{0};  // the input's focus-loss count when acquired
};

class IDirectInput {
 public:
  // GUID_SysKeyboard or GUID_SysMouse; DIERR_DEVICENOTREG for anything else.
  HRESULT CreateDevice(REFGUID device, IDirectInputDevice** out, void* outer);
  ULONG Release();

 private:
  friend HRESULT DirectInputCreateA(void*, DWORD, IDirectInput**, void*);
  explicit IDirectInput(PlatformInput* input) : input_(input) {}
  ~IDirectInput() = default;
  PlatformInput* input_;
};

// Makes the DirectInput object over the installed back end's input (the
// program instance is not used).
HRESULT DirectInputCreateA(void* instance, DWORD version, IDirectInput** out, void* outer);

// Tests: the next call of this kind fails with DIERR_GENERIC (its object is
// not made), so that the game's failure paths can be reached.
enum class DirectInputStep { Create, CreateKeyboard, CreateMouse, SetDataFormat, SetProperty };
void DirectInputFailNext(DirectInputStep step);
