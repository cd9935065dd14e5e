#include "game/network_game.h"

bool IsNetworkGame() { return false; }
