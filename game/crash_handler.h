#pragma once
// The handler of the crash signals (SIGABRT, SIGILL, SIGSEGV). When the
// display is in full screen it asks the display back end to give the desktop
// back; then the signal takes its course through whatever handled it before.
// Only async-signal-safe work happens in the handler: it reads a flag and
// calls a hook that must itself be async-signal-safe.

// Installs the handler once, through the process services, which keep the
// previous actions to pass each signal on.
void CrashHandlerInstall();
// The handler itself (one signal number).
void CrashSignalHandler(int signalNumber);
// Kept up to date by the interface manager as it enters and leaves full
// screen.
void CrashHandlerNoteFullScreen(bool fullScreen);
// The display back end's emergency restore, or null; it runs inside a
// signal handler, so it may only do async-signal-safe work.
void CrashHandlerSetDisplayRestore(void (*restore)());
