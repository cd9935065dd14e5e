#pragma once
// Ending the process and naming the program file.
#include "platform/types.h"

// Ends the process at once with the code: C streams are flushed, but no
// destructors or exit handlers run.
[[noreturn]] void ExitProcess(UINT exitCode);
// The full path of the running program in buffer (at most size - 1
// characters, always terminated); the number of characters, which equals
// size when the path was cut short; 0 on failure. module must be null.
DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size);
