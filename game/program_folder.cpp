#include "game/program_folder.h"

#include "platform/paths.h"

std::string ProgramFolder() { return PlatformProgramFolder(); }
