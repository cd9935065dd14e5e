// The document's side of network play: the receive loop, the scoreboard and
// the chat line.
#include "game/net_doc.h"

// Will receive and dispatch every waiting network message.
void CNetDoc::PollNetwork() {}

// Will close the chat line and clear the latched keys.
void CNetDoc::CloseConsole() {}

// Will find the name's scoreboard slot or take one.
int CNetDoc::AllocScoreSlot(const CString& /*name*/) { return 0; }

// Will score the kill and tell the other players.
void CNetDoc::OnPlayerKilled(CDirectPlayer* /*victim*/, CDirectPlayer* /*killer*/) {}
