#pragma once
// Whether a network session is open: the network layer holds a DirectPlay
// object.
bool IsNetworkGame();
