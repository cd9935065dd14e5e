#include "game/game_app.h"

// The program's application object. It lives in a file of its own, which only
// the programs' start-up refers to, so that test programs make their own.
CGameApp g_App;
