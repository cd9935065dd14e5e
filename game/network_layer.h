#pragma once
// The game's one connection to other players (g_Net): it owns the DirectPlay
// object, opens a session from the menus or from a lobby's settings, creates
// the local player through the document and sends the game's messages.
//
// When the service provider guarantees delivery, guaranteed sends go to it
// with DPSEND_GUARANTEED. Otherwise the game's own layer carries them: each
// is queued with its CRC-32, sent at once, resent after the timeout to every
// recipient that has not acknowledged it, and dropped when all have. A
// recipient that does not acknowledge within kNetMaxTransmissions
// transmissions, or to whom a send fails, is taken off every queued message
// and reported to the host as unreachable; the queue holds at most
// kNetMaxPending messages, and a guaranteed send that can't be queued or
// sent fails to its caller.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "platform/direct_play.h"
#include "platform/framework/cstring.h"

inline constexpr uint32_t kNetDefaultResendTimeout = 1200;
inline constexpr uint32_t kNetMinResendTimeout = 100;
inline constexpr int kNetMaxTransmissions = 30;
inline constexpr size_t kNetMaxPending = 1024;
// How long Flush waits for the queue to empty (real time).
inline constexpr uint32_t kNetFlushLimitMs = 10000;
// The game's DirectPlay application identity.
inline constexpr GUID kNetApplicationGuid = {
    0xDA4462A3, 0xEDE7, 0x4EC4, {0xA7, 0x47, 0x29, 0x5C, 0x25, 0xDA, 0x51, 0xFA}};

// What the network layer needs of the game around it: by default the
// document (g_pNetDoc; nothing without one); tests put their own in.
class NetLayerHost {
 public:
  virtual ~NetLayerHost() = default;
  // The local player's id (0xFFFFFFFF without one).
  virtual DPID LocalPlayerId() = 0;
  // Every other player's id (a broadcast's recipients).
  virtual void OtherPlayerIds(std::vector<DPID>* ids) = 0;
  // Resends wait while a frame renders.
  virtual bool IsRenderInProgress() = 0;
  virtual void CountBytesSent(uint32_t bytes) = 0;
  virtual void CountBytesQueued(int64_t delta) = 0;
  virtual void ResetBytesQueued() = 0;
  // Flush's wait loop runs the receive loop, which brings acknowledgements.
  virtual void ReceiveMessages() = 0;
  // A player that stopped acknowledging or can't be sent to.
  virtual void PeerUnreachable(DPID id) = 0;
  // The HUD's green message of starting or joining.
  virtual void ShowMessage(const char* text) = 0;
  // The local player's record (and DirectPlay player) from its two names.
  virtual bool CreatePlayerRecord(const CString& name, const CString& shipCode) = 0;
};
NetLayerHost& DocumentNetHost();

// One session found by the last enumeration.
struct CNetSessionInfo {
  DWORD flags = 0;
  GUID instance = {};
  GUID application = {};
  DWORD maxPlayers = 0;
  DWORD currentPlayers = 0;
  DWORD mission = 0;  // dwUser1
  CString name;
};

struct CNetPlayerName {
  CString shortName;
  CString longName;
};

// What the menus hand the connection (the interface manager's network
// screens by default).
struct NetMenuSettings {
  int connectionType = 0;  // 0 TCP/IP, 1 IPX, 2 modem, 3 serial; others IPX
  CString address;
  CString sessionName;
  CString playerName;
  CString shipCode;        // two letters 'A'+choice
  bool startNew = false;   // the menus started a new game rather than joining
};

class CNet {
 public:
  CNet();
  ~CNet();
  CNet(const CNet&) = delete;
  CNet& operator=(const CNet&) = delete;

  // Connects with the settings a lobby handed over; false when the program
  // was not lobbied (no KORVANE_NET_LOBBY) or the connection fails.
  bool ConnectFromLobby();
  // Starts or joins the session named in the network menus; false on any
  // failure (an empty session name is one). A new game whose name exists
  // gets "_1", "_2"...; a join of a name nobody has creates it.
  bool StartOrJoin();
  bool StartOrJoin(NetMenuSettings& settings);
  // Close, then a new DirectPlay object for the connection type and
  // address, then the sessions enumerated.
  bool ConnectDirect(int connectionType, const char* address);
  // A DirectPlay object (tests hand theirs over) initialised with the
  // address; the capabilities set the resend timeout and the guarantee.
  bool InitConnection(const DPADDRESS& address, std::unique_ptr<IDirectPlay3A> directPlay = nullptr);
  bool EnumSessions();
  const CNetSessionInfo* FindSession(const char* name) const;
  bool JoinSession(const CNetSessionInfo* session);
  bool CreateSession(const char* name);
  bool EnumPlayers();
  // to 0: every other player. False when the message did not go out: the
  // provider refused it, no recipient was left, or the queue is full.
  bool Send(DPID to, void* data, int length, bool guaranteed);
  // Waits (up to kNetFlushLimitMs of real time) until every queued message
  // is acknowledged, running the receive loop meanwhile.
  void Flush();
  // Transmits the queued messages that are due (newestOnly: only the newest
  // one, whether due or not).
  void PumpResends(bool newestOnly);
  void OnAck(DPID from, uint32_t crc);
  void RemoveRecipient(DPID player);
  // Every queued message goes, then Release. Safe at any time, also during
  // static destruction.
  void Close();
  void Release();
  void ClearSessions();

  void SetHost() { host_ = 1; }
  bool IsHost() const { return host_ != 0; }
  IDirectPlay3A* GetDirectPlay() const { return directPlay_.get(); }
  bool IsDeliveryGuaranteed() const { return guaranteed_ != 0; }
  uint32_t GetResendTimeout() const { return resendTimeout_; }
  const std::list<CNetSessionInfo>& GetSessionList() const { return sessions_; }
  const std::list<CNetPlayerName>& GetPlayerNames() const { return playerNames_; }
  size_t GetPendingCount() const { return pending_.size(); }
  // The game around the layer (DocumentNetHost() unless replaced).
  void SetHostServices(NetLayerHost* host) { services_ = host ? host : &DocumentNetHost(); }
  // Where ConnectDirect's DirectPlay objects come from (the platform's
  // network unless a test says otherwise).
  using DirectPlayFactory = std::function<std::unique_ptr<IDirectPlay3A>()>;
  void SetDirectPlayFactory(DirectPlayFactory factory) { factory_ = std::move(factory); }

 private:
  struct PendingSend {
    uint32_t lastSendTime = 0;
    uint32_t crc = 0;
    int transmissions = -1;  // -1: not yet sent
    bool guaranteed = false;
    bool broadcast = false;
    std::vector<DPID> recipients;
    std::vector<uint8_t> data;
  };
  using PendingList = std::list<PendingSend>;

  // One transmission of a record; true when it reached a recipient. A
  // recipient that can't be sent to leaves the record (reported when the
  // record is guaranteed); a failed broadcast turns the record into sends to
  // each recipient.
  bool Transmit(PendingSend& record, uint32_t now);
  // Takes a player off every record (records left without recipients go)
  // and, when report is set, tells the host.
  void DropRecipient(DPID player, bool report);
  void Erase(PendingList::iterator at);

  std::list<CNetSessionInfo> sessions_;
  std::list<CNetPlayerName> playerNames_;
  std::unique_ptr<IDirectPlay3A> directPlay_;
  uint8_t host_ = 0;
  PendingList pending_;
  uint32_t resendTimeout_ = kNetDefaultResendTimeout;
  uint8_t guaranteed_ = 0;
  NetLayerHost* services_;
  DirectPlayFactory factory_;
  bool closed_ = false;  // the destructor has run
};

extern CNet g_Net;

// The decimal number after the mission archive name's first character, up
// to its first '.' ("M12.CAN" gives 12; no digits give 0).
DWORD MissionNumberOf(const char* archiveName);
