#pragma once
// Diagnostics and the two message functions the game uses.
#include "platform/types.h"

// Debugger output: written to stderr when KORVANE_DEBUG is set, else dropped.
void OutputDebugString(const char* text);

// The system beep: one line on stderr (headless) or the back end's beep.
BOOL MessageBeep(UINT type);

// Message box types and results, with the values the game passes and tests.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The button a box of this type answers with when nobody presses one.
int MessageBoxDefaultButton(UINT type);

struct PlatformWindow;
// Shows the box through the back end; headless, it writes one line on stderr
// and answers with the default button.
int MessageBox(PlatformWindow* owner, const char* text, const char* caption, UINT type);
