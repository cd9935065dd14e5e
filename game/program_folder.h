#pragma once
// The folder that holds the running program, ending in its separator. The
// error log, the saved games and the data-archive search look there.
#include <string>

std::string ProgramFolder();
