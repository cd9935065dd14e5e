#pragma once
// Whether a network session is open (the network layer holds its session).
// No network layer exists yet: always false.
bool IsNetworkGame();
