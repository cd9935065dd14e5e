#pragma once
// The start of both programs, once main() has installed its build variant.
// Returns the process exit code: the game's own (0 after a normal quit, 1
// when start-up fails), or kExitBadStart when the back end can't be made
// (an input script that can't be read or parsed), with the reason on stderr.
int ProgramMain(int argc, char** argv);

inline constexpr int kExitBadStart = 2;
