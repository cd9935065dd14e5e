#pragma once
// What the ENet network's files share: the test switches and the maker of
// the DirectPlay object.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/direct_play.h"

// KORVANE_NET_TEST, read once per DirectPlay object (platform/direct_play.h).
struct NetTestSwitches {
  bool noGuarantee = false;
  int lossPercent = 0;
  int duplicatePercent = 0;
  int reorderPercent = 0;
  uint32_t delayMs = 0;
  uint32_t seed = 1;
};
NetTestSwitches NetTestSwitchesParse(const char* text);

// Starts ENet once for the process; false when it can't be.
bool EnetStart();

std::unique_ptr<IDirectPlay3A> EnetDirectPlayCreate(const NetTestSwitches& switches);

// --- feeding the stand-in's own packets by hand ------------------------------
// For the fuzz harness and the tests of the packet parsing: a DirectPlay
// object on a host of its own (an ephemeral port, no service thread) is put
// into one state, takes each packet as if from one of four peers of its host
// that never connected (so whatever it answers is refused by ENet and goes
// nowhere), and then Receive is drained.
enum class DirectPlayFeedState {
  kHosting,      // has made the session below, node 1, one player of its own
  kJoining,      // waits for the answer to a join of that session
  kEnumerating,  // looks for sessions of the application below
};
// The session the hosting object made and the others look for.
inline constexpr GUID kDirectPlayFeedApplication = {0x4B564641, 0x7070, 0x0001, {'K', 'O', 'R', 'V', 'A', 'N', 'E', 1}};
inline constexpr GUID kDirectPlayFeedInstance = {0x4B564649, 0x6E73, 0x0001, {'K', 'O', 'R', 'V', 'A', 'N', 'E', 2}};

struct DirectPlayFedPacket {
  enum Kind : uint8_t {
    kPacket,      // an ENet packet (the stand-in's packets between programs)
    kDatagram,    // a bare datagram on the socket (enumeration)
    kConnect,     // ENet says the peer connected
    kDisconnect,  // ENet says the peer left
  };
  Kind kind = kPacket;
  uint8_t peer = 0;  // 0..3
  std::vector<uint8_t> bytes;
};

struct DirectPlayFeedOutcome {
  bool inSession = false;
  bool isHost = false;
  size_t nodes = 0;    // other programs the object knows as session members
  size_t players = 0;  // every player it knows, its own included
  std::vector<std::string> sessionsFound;  // names, enumerating
  // Empty, or what of the object's own bookkeeping the packets broke (a peer
  // under two node numbers, node 0 a member, ...).
  std::string broken;
};

// Each message Receive gives, laid out in a buffer of exactly its size.
using DirectPlayReceived = std::function<void(DPID from, DPID to, const uint8_t* message, DWORD size)>;

DirectPlayFeedOutcome EnetDirectPlayFeed(DirectPlayFeedState state, const std::vector<DirectPlayFedPacket>& packets,
                                         const DirectPlayReceived& received);
