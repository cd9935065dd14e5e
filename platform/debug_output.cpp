#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>

#include "platform/backend.h"

void OutputDebugString(const char* text) {
  static const bool enabled = std::getenv("KORVANE_DEBUG") != nullptr;
  if (enabled && text) std::fputs(text, stderr);
}

BOOL MessageBeep(UINT type) {
  PlatformBackendGet().display->Beep(type);
  return TRUE;
}

int MessageBoxDefaultButton(UINT type) {
  int buttons[3] = {IDOK, 0, 0};
  switch (type & 0xF) {
    case MB_OKCANCEL: buttons[0] = IDOK; buttons[1] = IDCANCEL; break;
    case MB_ABORTRETRYIGNORE: buttons[0] = IDABORT; buttons[1] = IDRETRY; buttons[2] = IDIGNORE; break;
    case MB_YESNOCANCEL: buttons[0] = IDYES; buttons[1] = IDNO; buttons[2] = IDCANCEL; break;
    case MB_YESNO: buttons[0] = IDYES; buttons[1] = IDNO; break;
    case MB_RETRYCANCEL: buttons[0] = IDRETRY; buttons[1] = IDCANCEL; break;
    default: break;
  }
  int index = 0;
  if ((type & 0xF00) == MB_DEFBUTTON2) index = 1;
  if ((type & 0xF00) == MB_DEFBUTTON3) index = 2;
  return buttons[index] != 0 ? buttons[index] : buttons[0];
}

int MessageBox(PlatformWindow* /*owner*/, const char* text, const char* caption, UINT type) {
  return PlatformBackendGet().display->ShowMessageBox(text ? text : "", caption ? caption : "", type);
}
