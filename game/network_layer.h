#pragma once
// The game's one connection to other players (g_Net): it opens a session
// from the menus or from a lobby's settings, creates the local player
// through the document and sends the game's messages.
//
// The network layer is not built yet: no session can be opened, so every
// connect fails and nothing is guaranteed.
class CNet {
 public:
  // Connects with the settings a lobby handed over; false when there are
  // none or the connection fails.
  bool ConnectFromLobby();
  // Starts or joins the session named in the network menus; false on any
  // failure.
  bool StartOrJoin();
  // The service provider guarantees delivery itself.
  bool IsDeliveryGuaranteed() const { return guaranteed_ != 0; }
  // Leaves the session and releases the connection; safe when none.
  void Close();

 private:
  unsigned char guaranteed_ = 0;
};

extern CNet g_Net;
