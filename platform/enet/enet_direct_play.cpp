// The DirectPlay stand-in on ENet. Every program of a session keeps one ENet
// host and a connection to every other program (a full mesh), so a message
// goes straight to its recipients and the session survives its host: the
// program with the lowest node number is the host, which every program
// works out alike from the nodes it still sees.
//
// Packets between programs (first byte, then fields, little-endian):
//   'J' join a session (instance guid)          joiner -> host
//   'A' accepted (node number, session, nodes, players)   host -> joiner
//   'N' refused (HRESULT)                       host -> joiner
//   'H' hello (node number, instance guid)      joiner -> every other node
//   'P' player created (id, names, data)   'D' destroyed (id)
//   'S' player data (id, data)             'U' user message (from, to, data)
// Enumeration uses bare datagrams on the same socket, taken off before ENet
// sees them: "KVEQ" + application guid asks, "KVER" + the session answers.
#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/enet/enet_network.h"
#include "platform/enet/wire.h"

namespace {

constexpr uint16_t kDefaultPort = 47624;
constexpr DWORD kEnumDefaultMs = 400;
constexpr DWORD kConnectWaitMs = 3000;
constexpr DWORD kCapsTimeoutMs = 300;
constexpr size_t kMaxPeers = 32;
constexpr uint8_t kChannelReliable = 0;
constexpr uint8_t kChannelUnreliable = 1;
constexpr char kEnumAsk[4] = {'K', 'V', 'E', 'Q'};
constexpr char kEnumAnswer[4] = {'K', 'V', 'E', 'R'};

uint32_t NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void WriteGuid(WireWriter& w, const GUID& g) {
  w.U32(g.Data1);
  w.U16(g.Data2);
  w.U16(g.Data3);
  w.Bytes(g.Data4, 8);
}
GUID ReadGuid(WireReader& r) {
  GUID g{};
  g.Data1 = r.U32();
  g.Data2 = r.U16();
  g.Data3 = r.U16();
  r.Take(g.Data4, 8);
  return g;
}

GUID NewGuid() {
  static uint32_t counter = 0;
  GUID g{};
  g.Data1 = NowMs() ^ (static_cast<uint32_t>(std::rand()) << 8);
  g.Data2 = static_cast<uint16_t>(std::rand());
  g.Data3 = static_cast<uint16_t>(++counter);
  for (auto& b : g.Data4) b = static_cast<uint8_t>(std::rand());
  return g;
}

uint16_t PortFromEnvironment() {
  const char* text = std::getenv("KORVANE_NET_PORT");
  const long port = text ? std::strtol(text, nullptr, 10) : 0;
  return port > 0 && port < 65536 ? static_cast<uint16_t>(port) : kDefaultPort;
}

struct Player {
  DPID id = 0;
  uint16_t node = 0;
  std::string shortName, longName;
  std::vector<uint8_t> data;
};

// One message waiting for Receive: a user message (from != 0) or a system
// message of type sysType about player.
struct Queued {
  DPID from = 0, to = 0;
  DWORD sysType = 0;
  Player player;
  DWORD currentPlayers = 0;
  std::vector<uint8_t> bytes;
};

struct Held {
  uint32_t releaseAt;
  ENetPeer* peer;
  std::vector<uint8_t> bytes;
};

struct SessionFound {
  DPSESSIONDESC2 desc{};
  std::string name;
  ENetAddress host{};
};

// Which object owns an ENet host (ENet's intercept hook has no user word).
class EnetDirectPlay;
std::mutex g_HostsLock;
std::map<ENetHost*, EnetDirectPlay*> g_Hosts;

EnetDirectPlay* HostOwner(ENetHost* host) {
  std::lock_guard lock(g_HostsLock);
  auto it = g_Hosts.find(host);
  return it == g_Hosts.end() ? nullptr : it->second;
}

class EnetDirectPlay : public IDirectPlay3A {
 public:
  // Without a service thread the network moves only in the object's calls
  // (the packet feed below).
  EnetDirectPlay(NetTestSwitches switches, bool serviced) : test_(switches), random_(switches.seed) {
    if (serviced) service_ = std::thread([this] { ServiceLoop(); });
  }
  ~EnetDirectPlay() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    if (service_.joinable()) service_.join();
    Close();
    DestroyHost();
  }

  HRESULT InitializeConnection(const DPADDRESS* address, DWORD) override {
    std::lock_guard lock(mutex_);
    if (initialized_) return DPERR_ALREADYINITIALIZED;
    if (!address) return DPERR_INVALIDPARAMS;
    if (!(address->serviceProvider == DPSPGUID_TCPIP)) return DPERR_UNAVAILABLE;
    const size_t n = strnlen(address->inet, sizeof address->inet);
    hostsText_.assign(address->inet, n);
    initialized_ = true;
    return DP_OK;
  }

  HRESULT GetCaps(DPCAPS* caps, DWORD) override {
    std::lock_guard lock(mutex_);
    if (!caps || caps->dwSize < sizeof(DPCAPS)) return DPERR_INVALIDPARAMS;
    if (!initialized_) return DPERR_NOCONNECTION;
    const DWORD size = caps->dwSize;
    *caps = {};
    caps->dwSize = size;
    caps->dwFlags = (test_.noGuarantee ? 0 : DPCAPS_GUARANTEEDOPTIMIZED | DPCAPS_GUARANTEEDSUPPORTED) |
                    (IsHost() ? DPCAPS_ISHOST : 0);
    caps->dwMaxBufferSize = kDirectPlayMaxMessage;
    caps->dwMaxPlayers = 8;
    caps->dwMaxLocalPlayers = 1;
    caps->dwTimeout = kCapsTimeoutMs;
    return DP_OK;
  }

  HRESULT EnumSessions(const DPSESSIONDESC2* desc, DWORD timeoutMs, LPDPENUMSESSIONSCALLBACK2 callback, void* context,
                       DWORD) override {
    std::lock_guard lock(mutex_);
    if (!desc || !callback) return DPERR_INVALIDPARAMS;
    if (!initialized_) return DPERR_NOCONNECTION;
    if (!EnsureHost(0)) return DPERR_NOCONNECTION;
    found_.clear();
    enumApplication_ = desc->guidApplication;
    enumerating_ = true;
    WireWriter ask;
    ask.Bytes(kEnumAsk, 4);
    WriteGuid(ask, desc->guidApplication);
    for (const ENetAddress& to : EnumTargets()) SendDatagram(to, ask.bytes());
    const uint32_t wait = timeoutMs ? timeoutMs : kEnumDefaultMs;
    ServiceFor(wait, [] { return false; });
    enumerating_ = false;
    for (const SessionFound& s : found_) {
      DWORD timeout = wait;
      DPSESSIONDESC2 d = s.desc;
      d.lpszSessionNameA = s.name.c_str();
      if (!callback(&d, &timeout, 0, context)) return DP_OK;
    }
    DWORD timeout = wait;
    callback(nullptr, &timeout, DPESC_TIMEDOUT, context);
    return DP_OK;
  }

  HRESULT Open(const DPSESSIONDESC2* desc, DWORD flags) override {
    std::lock_guard lock(mutex_);
    if (!desc) return DPERR_INVALIDPARAMS;
    if (!initialized_) return DPERR_NOCONNECTION;
    if (inSession_) return DPERR_ALREADYINITIALIZED;
    if (flags & DPOPEN_CREATE) return Create(*desc);
    if (flags & DPOPEN_JOIN) return Join(desc->guidInstance);
    return DPERR_INVALIDFLAGS;
  }

  HRESULT Close() override {
    std::lock_guard lock(mutex_);
    if (!host_) return DP_OK;
    for (auto& [node, peer] : nodes_) enet_peer_disconnect(peer, 0);
    for (ENetPeer* peer : unnamed_) enet_peer_disconnect(peer, 0);
    // A short wait lets the others see this program leave at once rather
    // than after their time-out.
    ServiceFor(300, [this] {
      for (size_t i = 0; i < host_->peerCount; ++i)
        if (host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED) return false;
      return true;
    });
    DestroyHost();
    inSession_ = false;
    nodes_.clear();
    unnamed_.clear();
    players_.clear();
    queue_.clear();
    held_.clear();
    myNode_ = 0;
    return DP_OK;
  }

  HRESULT CreatePlayer(DPID* id, const DPNAME* name, void*, const void* data, DWORD dataSize, DWORD) override {
    std::lock_guard lock(mutex_);
    if (!id || (dataSize && !data) || dataSize > kDirectPlayMaxMessage) return DPERR_INVALIDPARAMS;
    if (!inSession_) return DPERR_NOCONNECTION;
    if (players_.size() >= session_.dwMaxPlayers) return DPERR_CANTADDPLAYER;
    Player p;
    p.id = (static_cast<DPID>(myNode_) << 16) | ++playerCounter_;
    p.node = myNode_;
    if (name && name->lpszShortNameA) p.shortName = name->lpszShortNameA;
    if (name && name->lpszLongNameA) p.longName = name->lpszLongNameA;
    if (dataSize) p.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + dataSize);
    players_[p.id] = p;
    WireWriter w;
    w.U8('P');
    WritePlayer(w, p);
    SendToAll(w.bytes(), true);
    *id = p.id;
    return DP_OK;
  }

  HRESULT DestroyPlayer(DPID id) override {
    std::lock_guard lock(mutex_);
    auto it = players_.find(id);
    if (it == players_.end() || it->second.node != myNode_) return DPERR_INVALIDPLAYER;
    players_.erase(it);
    WireWriter w;
    w.U8('D');
    w.U32(id);
    SendToAll(w.bytes(), true);
    return DP_OK;
  }

  HRESULT EnumPlayers(const GUID*, LPDPENUMPLAYERSCALLBACK2 callback, void* context, DWORD) override {
    std::lock_guard lock(mutex_);
    if (!callback) return DPERR_INVALIDPARAMS;
    if (!inSession_) return DPERR_NOCONNECTION;
    Pump();
    for (const auto& [id, p] : players_) {
      DPNAME name{sizeof(DPNAME), 0, p.shortName.c_str(), p.longName.c_str()};
      if (!callback(id, DPPLAYERTYPE_PLAYER, &name, 0, context)) break;
    }
    return DP_OK;
  }

  HRESULT GetPlayerName(DPID id, void* buffer, DWORD* size) override {
    std::lock_guard lock(mutex_);
    if (!size) return DPERR_INVALIDPARAMS;
    auto it = players_.find(id);
    if (it == players_.end()) return DPERR_INVALIDPLAYER;
    const Player& p = it->second;
    const DWORD need = sizeof(DPNAME) + p.shortName.size() + 1 + p.longName.size() + 1;
    if (!buffer || *size < need) {
      *size = need;
      return DPERR_BUFFERTOOSMALL;
    }
    if (reinterpret_cast<uintptr_t>(buffer) % alignof(DPNAME)) return DPERR_INVALIDPARAMS;
    auto* bytes = static_cast<uint8_t*>(buffer);
    char* shortName = reinterpret_cast<char*>(bytes + sizeof(DPNAME));
    char* longName = shortName + p.shortName.size() + 1;
    std::memcpy(shortName, p.shortName.c_str(), p.shortName.size() + 1);
    std::memcpy(longName, p.longName.c_str(), p.longName.size() + 1);
    *static_cast<DPNAME*>(buffer) = {sizeof(DPNAME), 0, shortName, longName};
    *size = need;
    return DP_OK;
  }

  HRESULT SetPlayerData(DPID id, const void* data, DWORD size, DWORD) override {
    std::lock_guard lock(mutex_);
    if ((size && !data) || size > kDirectPlayMaxMessage) return DPERR_INVALIDPARAMS;
    auto it = players_.find(id);
    if (it == players_.end() || it->second.node != myNode_) return DPERR_INVALIDPLAYER;
    it->second.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    WireWriter w;
    w.U8('S');
    w.U32(id);
    w.Blob(it->second.data);
    SendToAll(w.bytes(), true);
    return DP_OK;
  }

  HRESULT Send(DPID from, DPID to, DWORD flags, const void* data, DWORD size) override {
    std::lock_guard lock(mutex_);
    if (!data || size == 0) return DPERR_INVALIDPARAMS;
    if (size > kDirectPlayMaxMessage) return DPERR_SENDTOOBIG;
    if (!inSession_) return DPERR_NOCONNECTION;
    auto mine = players_.find(from);
    if (mine == players_.end() || mine->second.node != myNode_) return DPERR_INVALIDPLAYER;
    const bool reliable = (flags & DPSEND_GUARANTEED) != 0;
    auto packet = [&](DPID recipient) {
      WireWriter w;
      w.U8('U');
      w.U32(from);
      w.U32(recipient);
      w.Bytes(data, size);
      return w.bytes();
    };
    if (to == DPID_ALLPLAYERS) {
      for (const auto& [node, peer] : nodes_) {
        const DPID recipient = FirstPlayerOf(node);
        if (recipient) SendUser(peer, packet(recipient), reliable);
      }
    } else {
      auto it = players_.find(to);
      if (it == players_.end() || it->second.node == myNode_) return DPERR_INVALIDPLAYER;
      auto node = nodes_.find(it->second.node);
      if (node == nodes_.end()) return DPERR_INVALIDPLAYER;
      SendUser(node->second, packet(to), reliable);
    }
    enet_host_flush(host_);
    return DP_OK;
  }

  HRESULT Receive(DPID* from, DPID* to, DWORD, void* buffer, DWORD* size) override {
    std::lock_guard lock(mutex_);
    if (!from || !to || !size) return DPERR_INVALIDPARAMS;
    if (!host_) return DPERR_NOMESSAGES;
    Pump();
    if (queue_.empty()) return DPERR_NOMESSAGES;
    const Queued& q = queue_.front();
    const DWORD need = SizeOf(q);
    if (!buffer || *size < need) {
      *size = need;
      return DPERR_BUFFERTOOSMALL;
    }
    if (reinterpret_cast<uintptr_t>(buffer) % alignof(DPMSG_CREATEPLAYERORGROUP)) return DPERR_INVALIDPARAMS;
    *from = q.from;
    *to = q.to;
    *size = need;
    Lay(q, static_cast<uint8_t*>(buffer));
    queue_.pop_front();
    return DP_OK;
  }

  // The enumeration answer and question, taken off the socket before ENet.
  int Intercept(ENetHost* host) {
    return TakeDatagram(host->receivedData, host->receivedDataLength, host->receivedAddress) ? 1 : 0;
  }

  DirectPlayFeedOutcome Feed(DirectPlayFeedState state, const std::vector<DirectPlayFedPacket>& packets,
                             const DirectPlayReceived& received) {
    std::lock_guard lock(mutex_);
    DirectPlayFeedOutcome outcome;
    initialized_ = true;
    if (!EnsureHost(0)) {
      outcome.broken = "no ENet host";
      return outcome;
    }
    constexpr size_t kPeers = 4;
    ENetPeer* peers[kPeers];
    for (size_t i = 0; i < kPeers; ++i) peers[i] = &host_->peers[i];
    if (state == DirectPlayFeedState::kHosting) {
      session_ = {};
      session_.dwSize = sizeof session_;
      session_.dwFlags = DPSESSION_MIGRATEHOST | DPSESSION_KEEPALIVE;
      session_.guidInstance = kDirectPlayFeedInstance;
      session_.guidApplication = kDirectPlayFeedApplication;
      session_.dwMaxPlayers = 8;
      sessionName_ = "FEED";
      myNode_ = 1;
      nextNode_ = 2;
      inSession_ = true;
      DPID mine = 0;
      CreatePlayer(&mine, nullptr, nullptr, "me", 2, 0);
    } else if (state == DirectPlayFeedState::kJoining) {
      unnamed_.push_back(peers[0]);
      joinResult_ = 1;
    } else {
      enumApplication_ = kDirectPlayFeedApplication;
      enumerating_ = true;
    }
    for (const DirectPlayFedPacket& fed : packets) {
      ENetPeer* peer = peers[fed.peer % kPeers];
      ENetEvent event{};
      event.peer = peer;
      switch (fed.kind) {
        case DirectPlayFedPacket::kPacket:
          event.type = ENET_EVENT_TYPE_RECEIVE;
          event.packet = enet_packet_create(fed.bytes.data(), fed.bytes.size(), ENET_PACKET_FLAG_RELIABLE);
          if (event.packet) Handle(event);
          break;
        case DirectPlayFedPacket::kDatagram: {
          // From nowhere: an answer to it can't be delivered.
          const ENetAddress from{};
          TakeDatagram(fed.bytes.data(), fed.bytes.size(), from);
          break;
        }
        case DirectPlayFedPacket::kConnect:
          event.type = ENET_EVENT_TYPE_CONNECT;
          Handle(event);
          break;
        case DirectPlayFedPacket::kDisconnect:
          event.type = ENET_EVENT_TYPE_DISCONNECT;
          Handle(event);
          break;
      }
      if (outcome.broken.empty()) outcome.broken = Broken();
    }
    for (;;) {
      DPID from = 0, to = 0;
      DWORD size = 0;
      if (Receive(&from, &to, 0, nullptr, &size) != DPERR_BUFFERTOOSMALL) break;
      // Exactly the size it asked for, on the heap, so a layout past its end
      // is seen by the address sanitizer.
      std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
      DWORD got = size;
      if (Receive(&from, &to, 0, buffer.get(), &got) != DP_OK || got != size) {
        outcome.broken = "Receive refused the size it asked for";
        break;
      }
      received(from, to, buffer.get(), size);
    }
    outcome.inSession = inSession_;
    outcome.isHost = IsHost();
    outcome.nodes = nodes_.size();
    outcome.players = players_.size();
    for (const SessionFound& s : found_) outcome.sessionsFound.push_back(s.name);
    enumerating_ = false;
    return outcome;
  }

 private:
  // The network goes on between the game's calls (answers to enumeration,
  // joins, acknowledgements, time-outs): a thread of the object's own
  // services ENet whenever no call does.
  void ServiceLoop() {
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (stop_) return;
        Pump();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  // A bare datagram: an enumeration question or answer is taken (true).
  bool TakeDatagram(const uint8_t* data, size_t size, const ENetAddress& from) {
    if (size < 4) return false;
    if (std::memcmp(data, kEnumAsk, 4) == 0) {
      WireReader r(data + 4, size - 4);
      const GUID application = ReadGuid(r);
      if (r.ok() && inSession_ && application == session_.guidApplication) AnswerEnumeration(from);
      return true;
    }
    if (std::memcmp(data, kEnumAnswer, 4) == 0) {
      if (enumerating_) TakeEnumerationAnswer(data + 4, size - 4, from);
      return true;
    }
    return false;
  }

  // What must hold of the bookkeeping whatever arrives; empty when it does.
  std::string Broken() const {
    std::map<ENetPeer*, uint16_t> seen;
    for (const auto& [node, peer] : nodes_) {
      if (node == 0) return "node 0 is a member";
      if (inSession_ && node == myNode_) return "the object's own node is a member";
      if (!seen.emplace(peer, node).second) return "a peer is two nodes";
      if (std::find(unnamed_.begin(), unnamed_.end(), peer) != unnamed_.end()) return "a member is unnamed";
    }
    if (inSession_ && myNode_ == 0) return "in a session as node 0";
    if (inSession_ && players_.size() > session_.dwMaxPlayers) return "more players than the session holds";
    for (const auto& [id, p] : players_)
      if (p.node != myNode_ && !nodes_.count(p.node) && !otherNodes_.count(p.node)) return "a player of no member";
    return {};
  }

  // --- the ENet host -----------------------------------------------------
  bool EnsureHost(uint16_t port) {
    if (host_ && (port == 0 || host_->address.port == port)) return true;
    DestroyHost();
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    host_ = enet_host_create(&address, kMaxPeers, 2, 0, 0);
    if (!host_) return false;
    host_->intercept = [](ENetHost* h, ENetEvent*) -> int {
      EnetDirectPlay* owner = HostOwner(h);
      return owner ? owner->Intercept(h) : 0;
    };
    std::lock_guard lock(g_HostsLock);
    g_Hosts[host_] = this;
    return true;
  }

  void DestroyHost() {
    if (!host_) return;
    {
      std::lock_guard lock(g_HostsLock);
      g_Hosts.erase(host_);
    }
    enet_host_destroy(host_);
    host_ = nullptr;
  }

  void SendDatagram(const ENetAddress& to, const std::vector<uint8_t>& bytes) {
    ENetBuffer buffer;
    buffer.data = const_cast<uint8_t*>(bytes.data());
    buffer.dataLength = bytes.size();
    enet_socket_send(host_->socket, &to, &buffer, 1);
  }

  std::vector<ENetAddress> EnumTargets() const {
    std::string text = hostsText_;
    if (text.empty()) {
      const char* env = std::getenv("KORVANE_NET_HOSTS");
      text = env && *env ? env : "255.255.255.255,127.0.0.1";
    }
    std::vector<ENetAddress> targets;
    size_t at = 0;
    while (at <= text.size()) {
      size_t end = text.find(',', at);
      if (end == std::string::npos) end = text.size();
      std::string item = text.substr(at, end - at);
      at = end + 1;
      if (item.empty()) continue;
      ENetAddress a{};
      a.port = PortFromEnvironment();
      const size_t colon = item.rfind(':');
      if (colon != std::string::npos) {
        const long port = std::strtol(item.c_str() + colon + 1, nullptr, 10);
        if (port > 0 && port < 65536) a.port = static_cast<uint16_t>(port);
        item.resize(colon);
      }
      if (enet_address_set_host(&a, item.c_str()) == 0) targets.push_back(a);
    }
    return targets;
  }

  // Services ENet until done() or ms of real time have passed.
  template <typename Done>
  void ServiceFor(uint32_t ms, Done done) {
    const uint32_t start = NowMs();
    while (!done()) {
      const uint32_t spent = NowMs() - start;
      if (spent >= ms) break;
      ENetEvent event;
      if (enet_host_service(host_, &event, std::min<uint32_t>(ms - spent, 10)) > 0) Handle(event);
      ReleaseHeld();
    }
  }

  void Pump() {
    if (!host_) return;
    ENetEvent event;
    while (host_ && enet_host_service(host_, &event, 0) > 0) Handle(event);
    ReleaseHeld();
  }

  // --- sessions ----------------------------------------------------------
  HRESULT Create(const DPSESSIONDESC2& desc) {
    if (!EnsureHost(PortFromEnvironment())) return DPERR_CANTCREATESESSION;
    session_ = desc;
    session_.guidInstance = NewGuid();
    sessionName_ = desc.lpszSessionNameA ? desc.lpszSessionNameA : "";
    if (session_.dwMaxPlayers == 0 || session_.dwMaxPlayers > 8) session_.dwMaxPlayers = 8;
    myNode_ = 1;
    nextNode_ = 2;
    inSession_ = true;
    return DP_OK;
  }

  HRESULT Join(const GUID& instance) {
    auto it = std::find_if(found_.begin(), found_.end(),
                           [&](const SessionFound& s) { return s.desc.guidInstance == instance; });
    if (it == found_.end() || !EnsureHost(0)) return DPERR_NOSESSIONS;
    const ENetAddress hostAddress = it->host;
    ENetPeer* peer = enet_host_connect(host_, &hostAddress, 2, 0);
    if (!peer) return DPERR_NOCONNECTION;
    unnamed_.push_back(peer);
    ServiceFor(kConnectWaitMs, [peer] { return peer->state == ENET_PEER_STATE_CONNECTED; });
    if (peer->state != ENET_PEER_STATE_CONNECTED) return Abandon(DPERR_NOCONNECTION);
    WireWriter w;
    w.U8('J');
    WriteGuid(w, instance);
    SendPacket(peer, w.bytes(), true);
    joinResult_ = 1;
    ServiceFor(kConnectWaitMs, [this] { return joinResult_ != 1; });
    if (joinResult_ != DP_OK) return Abandon(joinResult_ == 1 ? DPERR_TIMEOUT : joinResult_);
    // Meet every other program of the session.
    std::vector<ENetPeer*> meeting;
    for (const auto& [node, address] : otherNodes_) {
      ENetPeer* other = enet_host_connect(host_, &address, 2, 0);
      if (!other) continue;
      other->data = reinterpret_cast<void*>(static_cast<uintptr_t>(node));
      meeting.push_back(other);
    }
    ServiceFor(kConnectWaitMs, [&] {
      return std::all_of(meeting.begin(), meeting.end(),
                         [](ENetPeer* p) { return p->state == ENET_PEER_STATE_CONNECTED; });
    });
    for (ENetPeer* other : meeting) {
      if (other->state != ENET_PEER_STATE_CONNECTED) {
        enet_peer_reset(other);
        continue;
      }
      const auto node = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(other->data));
      nodes_[node] = other;
      WireWriter hello;
      hello.U8('H');
      hello.U16(myNode_);
      WriteGuid(hello, session_.guidInstance);
      SendPacket(other, hello.bytes(), true);
    }
    otherNodes_.clear();
    enet_host_flush(host_);
    return DP_OK;
  }

  HRESULT Abandon(HRESULT result) {
    Close();
    return result;
  }

  void AnswerEnumeration(const ENetAddress& to) {
    WireWriter w;
    w.Bytes(kEnumAnswer, 4);
    w.U32(session_.dwFlags);
    WriteGuid(w, session_.guidInstance);
    WriteGuid(w, session_.guidApplication);
    w.U32(session_.dwMaxPlayers);
    w.U32(static_cast<uint32_t>(players_.size()));
    w.U32(session_.dwUser1);
    w.U32(session_.dwUser2);
    w.U32(session_.dwUser3);
    w.U32(session_.dwUser4);
    w.Text(sessionName_);
    // Where the host is: 0 means "the program answering".
    ENetAddress hostAddress{};
    if (!IsHost()) {
      auto it = nodes_.find(HostNode());
      if (it != nodes_.end()) hostAddress = it->second->address;
    }
    w.U32(hostAddress.host);
    w.U16(hostAddress.port);
    SendDatagram(to, w.bytes());
  }

  void TakeEnumerationAnswer(const uint8_t* data, size_t size, const ENetAddress& from) {
    WireReader r(data, size);
    SessionFound s;
    s.desc.dwSize = sizeof(DPSESSIONDESC2);
    s.desc.dwFlags = r.U32();
    s.desc.guidInstance = ReadGuid(r);
    s.desc.guidApplication = ReadGuid(r);
    s.desc.dwMaxPlayers = r.U32();
    s.desc.dwCurrentPlayers = r.U32();
    s.desc.dwUser1 = r.U32();
    s.desc.dwUser2 = r.U32();
    s.desc.dwUser3 = r.U32();
    s.desc.dwUser4 = r.U32();
    s.name = r.Text();
    s.host.host = r.U32();
    s.host.port = r.U16();
    if (!r.ok() || !(s.desc.guidApplication == enumApplication_)) return;
    if (s.host.host == 0) s.host = from;
    for (const SessionFound& known : found_)
      if (known.desc.guidInstance == s.desc.guidInstance) return;
    found_.push_back(s);
  }

  // --- nodes and the host ------------------------------------------------
  uint16_t HostNode() const {
    uint16_t lowest = myNode_;
    for (const auto& [node, peer] : nodes_) lowest = std::min(lowest, node);
    return lowest;
  }
  bool IsHost() const { return inSession_ && HostNode() == myNode_; }

  uint16_t NodeOf(ENetPeer* peer) const {
    for (const auto& [node, p] : nodes_)
      if (p == peer) return node;
    return 0;
  }

  DPID FirstPlayerOf(uint16_t node) const {
    for (const auto& [id, p] : players_)
      if (p.node == node) return id;
    return 0;
  }

  void NodeGone(ENetPeer* peer) {
    unnamed_.erase(std::remove(unnamed_.begin(), unnamed_.end(), peer), unnamed_.end());
    const uint16_t node = NodeOf(peer);
    if (!node) return;
    const bool wasHost = !IsHost() && HostNode() == node;
    nodes_.erase(node);
    for (auto it = players_.begin(); it != players_.end();) {
      if (it->second.node != node) {
        ++it;
        continue;
      }
      Queued q;
      q.sysType = DPSYS_DESTROYPLAYERORGROUP;
      q.player = it->second;
      queue_.push_back(q);
      it = players_.erase(it);
    }
    if (!wasHost) return;
    Queued q;
    q.sysType = (session_.dwFlags & DPSESSION_MIGRATEHOST) ? DPSYS_HOST : DPSYS_SESSIONLOST;
    if (q.sysType == DPSYS_SESSIONLOST || IsHost()) queue_.push_back(q);
    if (IsHost()) {
      nextNode_ = myNode_ + 1;
      for (const auto& [n, p] : nodes_) nextNode_ = std::max<uint16_t>(nextNode_, n + 1);
    }
  }

  // --- sending -----------------------------------------------------------
  void SendPacket(ENetPeer* peer, const std::vector<uint8_t>& bytes, bool reliable) {
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(),
                                            reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet && enet_peer_send(peer, reliable ? kChannelReliable : kChannelUnreliable, packet) != 0)
      enet_packet_destroy(packet);
  }

  void SendToAll(const std::vector<uint8_t>& bytes, bool reliable) {
    for (const auto& [node, peer] : nodes_) SendPacket(peer, bytes, reliable);
    if (host_) enet_host_flush(host_);
  }

  // An unguaranteed user message meets the test switch's faults.
  void SendUser(ENetPeer* peer, std::vector<uint8_t> bytes, bool reliable) {
    if (reliable) return SendPacket(peer, bytes, true);
    if (Roll(test_.lossPercent)) return;
    const int copies = Roll(test_.duplicatePercent) ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
      uint32_t delay = test_.delayMs;
      if (Roll(test_.reorderPercent)) delay += 20 + Random() % 40;
      if (delay == 0) {
        SendPacket(peer, bytes, false);
      } else {
        held_.push_back({NowMs() + delay, peer, bytes});
      }
    }
  }

  void ReleaseHeld() {
    const uint32_t now = NowMs();
    for (auto it = held_.begin(); it != held_.end();) {
      if (static_cast<int32_t>(now - it->releaseAt) < 0) {
        ++it;
        continue;
      }
      if (NodeOf(it->peer)) SendPacket(it->peer, it->bytes, false);
      it = held_.erase(it);
    }
  }

  uint32_t Random() {
    random_ = random_ * 1103515245u + 12345u;
    return random_ >> 8;
  }
  bool Roll(int percent) { return percent > 0 && static_cast<int>(Random() % 100) < percent; }

  // --- receiving ---------------------------------------------------------
  void Handle(const ENetEvent& event) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (!NodeOf(event.peer) && !event.peer->data) unnamed_.push_back(event.peer);
        enet_peer_timeout(event.peer, 0, 5000, 10000);
        break;
      case ENET_EVENT_TYPE_DISCONNECT:
        NodeGone(event.peer);
        break;
      case ENET_EVENT_TYPE_RECEIVE:
        if (event.packet->dataLength <= kDirectPlayMaxMessage + 64)
          HandlePacket(event.peer, event.packet->data, event.packet->dataLength);
        enet_packet_destroy(event.packet);
        break;
      default:
        break;
    }
  }

  void HandlePacket(ENetPeer* peer, const uint8_t* data, size_t size) {
    if (size < 1) return;
    WireReader r(data + 1, size - 1);
    const uint16_t node = NodeOf(peer);
    switch (data[0]) {
      case 'J':
        return OnJoin(peer, r);
      case 'A':
        return OnAccepted(peer, r);
      case 'N':
        joinResult_ = static_cast<HRESULT>(r.U32());
        if (!r.ok() || joinResult_ == DP_OK) joinResult_ = DPERR_GENERIC;
        return;
      case 'H': {
        const uint16_t from = r.U16();
        const GUID instance = ReadGuid(r);
        // A program already known under a number can't take a second one.
        if (r.ok() && inSession_ && instance == session_.guidInstance && from && from != myNode_ &&
            !nodes_.count(from) && !NodeOf(peer)) {
          unnamed_.erase(std::remove(unnamed_.begin(), unnamed_.end(), peer), unnamed_.end());
          nodes_[from] = peer;
          nextNode_ = std::max<uint16_t>(nextNode_, from + 1);
        }
        return;
      }
      default:
        break;
    }
    if (!node) return;  // not a member of the session (yet)
    switch (data[0]) {
      case 'P': {
        Player p = ReadPlayer(r);
        // No more players than the session holds, whoever makes them.
        if (!r.ok() || (p.id >> 16) != node || players_.count(p.id) || players_.size() >= session_.dwMaxPlayers)
          return;
        p.node = node;
        players_[p.id] = p;
        Queued q;
        q.sysType = DPSYS_CREATEPLAYERORGROUP;
        q.player = p;
        q.currentPlayers = static_cast<DWORD>(players_.size());
        queue_.push_back(q);
        return;
      }
      case 'D': {
        const DPID id = r.U32();
        auto it = players_.find(id);
        if (!r.ok() || it == players_.end() || it->second.node != node) return;
        Queued q;
        q.sysType = DPSYS_DESTROYPLAYERORGROUP;
        q.player = it->second;
        queue_.push_back(q);
        players_.erase(it);
        return;
      }
      case 'S': {
        const DPID id = r.U32();
        std::vector<uint8_t> bytes = r.Blob(kDirectPlayMaxMessage);
        auto it = players_.find(id);
        if (!r.ok() || it == players_.end() || it->second.node != node) return;
        it->second.data = bytes;
        QueueData(it->second);
        return;
      }
      case 'U': {
        Queued q;
        q.from = r.U32();
        q.to = r.U32();
        if (!r.ok() || r.left() == 0 || (q.from >> 16) != node) return;
        q.bytes.assign(r.here(), r.here() + r.left());
        queue_.push_back(std::move(q));
        return;
      }
      default:
        return;
    }
  }

  void QueueData(const Player& p) {
    Queued q;
    q.sysType = DPSYS_SETPLAYERORGROUPDATA;
    q.player = p;
    queue_.push_back(q);
  }

  void OnJoin(ENetPeer* peer, WireReader& r) {
    // A member asking again is not a new program.
    if (NodeOf(peer)) return;
    const GUID instance = ReadGuid(r);
    WireWriter w;
    HRESULT refusal = DP_OK;
    if (!r.ok() || !inSession_ || !(instance == session_.guidInstance) || !IsHost())
      refusal = DPERR_NOSESSIONS;
    else if (nodes_.size() + 1 >= session_.dwMaxPlayers || nextNode_ == 0)  // full, or node numbers used up
      refusal = DPERR_ACCESSDENIED;
    if (refusal != DP_OK) {
      w.U8('N');
      w.U32(static_cast<uint32_t>(refusal));
      SendPacket(peer, w.bytes(), true);
      return;
    }
    const uint16_t node = nextNode_++;
    w.U8('A');
    w.U16(node);
    w.U16(myNode_);
    w.U32(session_.dwFlags);
    WriteGuid(w, session_.guidInstance);
    WriteGuid(w, session_.guidApplication);
    w.U32(session_.dwMaxPlayers);
    w.U32(session_.dwUser1);
    w.U32(session_.dwUser2);
    w.U32(session_.dwUser3);
    w.U32(session_.dwUser4);
    w.Text(sessionName_);
    w.U16(static_cast<uint16_t>(nodes_.size()));
    for (const auto& [n, p] : nodes_) {
      w.U16(n);
      w.U32(p->address.host);
      w.U16(p->address.port);
    }
    w.U16(static_cast<uint16_t>(players_.size()));
    for (const auto& [id, p] : players_) WritePlayer(w, p);
    unnamed_.erase(std::remove(unnamed_.begin(), unnamed_.end(), peer), unnamed_.end());
    nodes_[node] = peer;
    SendPacket(peer, w.bytes(), true);
    enet_host_flush(host_);
  }

  void OnAccepted(ENetPeer* peer, WireReader& r) {
    if (inSession_ || joinResult_ != 1) return;
    const uint16_t node = r.U16();
    const uint16_t hostNode = r.U16();
    DPSESSIONDESC2 s{};
    s.dwSize = sizeof s;
    s.dwFlags = r.U32();
    s.guidInstance = ReadGuid(r);
    s.guidApplication = ReadGuid(r);
    s.dwMaxPlayers = r.U32();
    s.dwUser1 = r.U32();
    s.dwUser2 = r.U32();
    s.dwUser3 = r.U32();
    s.dwUser4 = r.U32();
    const std::string name = r.Text();
    std::map<uint16_t, ENetAddress> others;
    const uint16_t nodeCount = r.U16();
    for (uint16_t i = 0; i < nodeCount && r.ok(); ++i) {
      const uint16_t n = r.U16();
      ENetAddress a{};
      a.host = r.U32();
      a.port = r.U16();
      others[n] = a;
    }
    std::map<DPID, Player> players;
    const uint16_t playerCount = r.U16();
    for (uint16_t i = 0; i < playerCount && r.ok(); ++i) {
      Player p = ReadPlayer(r);
      p.node = static_cast<uint16_t>(p.id >> 16);
      players[p.id] = p;
    }
    // The session as the host makes it: 1..8 players, nodes other than
    // ours and the host's numbered from 1, and each player on the host's
    // node or another member's, never on ours.
    bool sound = r.ok() && node != 0 && hostNode != 0 && hostNode != node && s.dwMaxPlayers >= 1 &&
                 s.dwMaxPlayers <= 8 && players.size() <= s.dwMaxPlayers && !others.count(0) &&
                 !others.count(node) && !others.count(hostNode);
    for (const auto& [id, p] : players)
      if (p.node != hostNode && !others.count(p.node)) sound = false;
    if (!sound) {
      joinResult_ = DPERR_GENERIC;
      return;
    }
    session_ = s;
    sessionName_ = name;
    myNode_ = node;
    otherNodes_ = others;
    players_ = players;
    unnamed_.erase(std::remove(unnamed_.begin(), unnamed_.end(), peer), unnamed_.end());
    nodes_[hostNode] = peer;
    for (const auto& [id, p] : players_)
      if (!p.data.empty()) QueueData(p);
    inSession_ = true;
    joinResult_ = DP_OK;
  }

  static void WritePlayer(WireWriter& w, const Player& p) {
    w.U32(p.id);
    w.Text(p.shortName);
    w.Text(p.longName);
    w.Blob(p.data);
  }
  static Player ReadPlayer(WireReader& r) {
    Player p;
    p.id = r.U32();
    p.shortName = r.Text();
    p.longName = r.Text();
    p.data = r.Blob(kDirectPlayMaxMessage);
    return p;
  }

  // --- laying out a received message ---------------------------------------
  static DWORD SizeOf(const Queued& q) {
    const DWORD names = static_cast<DWORD>(q.player.shortName.size() + 1 + q.player.longName.size() + 1);
    switch (q.sysType) {
      case 0:
        return static_cast<DWORD>(q.bytes.size());
      case DPSYS_CREATEPLAYERORGROUP:
        return sizeof(DPMSG_CREATEPLAYERORGROUP) + static_cast<DWORD>(q.player.data.size()) + names;
      case DPSYS_DESTROYPLAYERORGROUP:
        return sizeof(DPMSG_DESTROYPLAYERORGROUP) + names;
      case DPSYS_SETPLAYERORGROUPDATA:
        return sizeof(DPMSG_SETPLAYERORGROUPDATA) + static_cast<DWORD>(q.player.data.size());
      default:
        return sizeof(DPMSG_GENERIC);
    }
  }

  static DPNAME LayNames(const Player& p, uint8_t* at) {
    char* shortName = reinterpret_cast<char*>(at);
    std::memcpy(shortName, p.shortName.c_str(), p.shortName.size() + 1);
    char* longName = shortName + p.shortName.size() + 1;
    std::memcpy(longName, p.longName.c_str(), p.longName.size() + 1);
    return {sizeof(DPNAME), 0, shortName, longName};
  }

  static void Lay(const Queued& q, uint8_t* out) {
    const Player& p = q.player;
    switch (q.sysType) {
      case 0:
        std::memcpy(out, q.bytes.data(), q.bytes.size());
        return;
      case DPSYS_CREATEPLAYERORGROUP: {
        uint8_t* data = out + sizeof(DPMSG_CREATEPLAYERORGROUP);
        if (!p.data.empty()) std::memcpy(data, p.data.data(), p.data.size());
        const DPNAME name = LayNames(p, data + p.data.size());
        *reinterpret_cast<DPMSG_CREATEPLAYERORGROUP*>(out) = {
            q.sysType, DPPLAYERTYPE_PLAYER, p.id, q.currentPlayers, data, static_cast<DWORD>(p.data.size()), name};
        return;
      }
      case DPSYS_DESTROYPLAYERORGROUP: {
        const DPNAME name = LayNames(p, out + sizeof(DPMSG_DESTROYPLAYERORGROUP));
        *reinterpret_cast<DPMSG_DESTROYPLAYERORGROUP*>(out) = {q.sysType, DPPLAYERTYPE_PLAYER, p.id, name};
        return;
      }
      case DPSYS_SETPLAYERORGROUPDATA: {
        uint8_t* data = out + sizeof(DPMSG_SETPLAYERORGROUPDATA);
        if (!p.data.empty()) std::memcpy(data, p.data.data(), p.data.size());
        *reinterpret_cast<DPMSG_SETPLAYERORGROUPDATA*>(out) = {q.sysType, DPPLAYERTYPE_PLAYER, p.id, data,
                                                               static_cast<DWORD>(p.data.size())};
        return;
      }
      default:
        *reinterpret_cast<DPMSG_GENERIC*>(out) = {q.sysType};
        return;
    }
  }

  std::recursive_mutex mutex_;  // every call and the service thread
  std::thread service_;
  bool stop_ = false;
  NetTestSwitches test_;
  uint32_t random_;
  bool initialized_ = false;
  std::string hostsText_;
  ENetHost* host_ = nullptr;

  bool enumerating_ = false;
  GUID enumApplication_{};
  std::vector<SessionFound> found_;

  bool inSession_ = false;
  DPSESSIONDESC2 session_{};
  std::string sessionName_;
  uint16_t myNode_ = 0;
  uint16_t nextNode_ = 2;
  HRESULT joinResult_ = DP_OK;  // 1 while a join waits for its answer
  std::map<uint16_t, ENetAddress> otherNodes_;
  std::map<uint16_t, ENetPeer*> nodes_;
  std::vector<ENetPeer*> unnamed_;
  std::map<DPID, Player> players_;
  DPID playerCounter_ = 0;
  std::deque<Queued> queue_;
  std::vector<Held> held_;
};

}  // namespace

std::unique_ptr<IDirectPlay3A> EnetDirectPlayCreate(const NetTestSwitches& switches) {
  return std::make_unique<EnetDirectPlay>(switches, true);
}

DirectPlayFeedOutcome EnetDirectPlayFeed(DirectPlayFeedState state, const std::vector<DirectPlayFedPacket>& packets,
                                         const DirectPlayReceived& received) {
  EnetStart();
  EnetDirectPlay dp(NetTestSwitches{}, false);
  return dp.Feed(state, packets, received);
}
