// The leak checker's part of a KORVANE_SANITIZE build, linked into the test
// programs and the two games.
// D-Bus, which SDL2 opens for the screen saver, keeps a buffer it never
// frees; it is not ours to free. Our own allocations stay checked.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

// EGL unloads Mesa's GL driver when a display ends; the driver keeps a few
// allocations to the end, reachable from its globals. Unloaded, those
// globals are gone and the checker reports the allocations as leaks of an
// unknown module. Keeping every module loaded costs nothing in a checking
// build.
extern "C" int dlclose(void*) { return 0; }
