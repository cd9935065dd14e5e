#pragma once
// What happens to the display when the process ends without leaving full
// screen itself.
//
// The crash signals (SIGABRT, SIGILL, SIGSEGV) have a handler that lets each
// signal take its course through whatever handled it before. It runs no
// display code: nothing of the display may run inside a signal, and the
// window system takes a dead process's window down, which gives the desktop
// back. A process that exits while still in full screen (an exit from
// somewhere other than the interface manager's own end) has the display give
// the desktop back from an exit step that the programs install at start.

// Installs the signal handler once, through the process services, which
// keep the previous actions to pass each signal on.
void CrashHandlerInstall();
// The handler itself (one signal number).
void CrashSignalHandler(int signalNumber);
// Kept up to date by the interface manager as it enters and leaves full
// screen.
void CrashHandlerNoteFullScreen(bool fullScreen);
// The display's restore of the desktop, run at the exit of the process when
// it is still in full screen then; the first call also registers that exit
// step. The programs install it at start.
void CrashHandlerSetDisplayRestore(void (*restore)());
