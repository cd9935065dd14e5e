#include "game/network_game.h"

#include "game/network_layer.h"

bool IsNetworkGame() { return g_Net.GetDirectPlay() != nullptr; }
