#include "game/network_layer.h"

CNet g_Net;

// Will read the lobby's connection settings and connect with them.
bool CNet::ConnectFromLobby() { return false; }

// Will connect, then join the named session or create it.
bool CNet::StartOrJoin() { return false; }

// Will close the session and release the connection.
void CNet::Close() {}
