#pragma once
// The start of both programs, once main() has installed its build variant.
// Returns the process exit code.
int ProgramMain(int argc, char** argv);
