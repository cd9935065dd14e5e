// The DirectPlay stand-in's own packets between programs (join, acceptance,
// hello, players, player data, user messages) and its enumeration datagrams,
// as a program hosting a session, one joining it and one looking for
// sessions takes them from peers that never connected. Input: a first byte
// choosing the state, then records of a control byte (bits 0-1: packet,
// datagram, connect or disconnect; bits 2-3: which peer), a 16-bit length
// and that many bytes. Every message Receive then gives must lie within its
// buffer: its data and names inside, each name ended there.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/direct_play.h"
#include "platform/enet/enet_network.h"

namespace {

constexpr size_t kMostPackets = 64;

bool Inside(const uint8_t* message, DWORD size, const void* at, size_t length) {
  const auto* p = static_cast<const uint8_t*>(at);
  return p >= message && p <= message + size && length <= static_cast<size_t>(message + size - p);
}

bool NameInside(const uint8_t* message, DWORD size, const char* name) {
  if (!Inside(message, size, name, 1)) return false;
  const size_t room = static_cast<size_t>(message + size - reinterpret_cast<const uint8_t*>(name));
  return std::memchr(name, 0, room) != nullptr;
}

bool NamesInside(const uint8_t* message, DWORD size, const DPNAME& name) {
  return NameInside(message, size, name.lpszShortNameA) && NameInside(message, size, name.lpszLongNameA);
}

void Check(DPID from, const uint8_t* message, DWORD size) {
  if (from != DPID_SYSMSG) {
    if (size == 0) FuzzFault("an empty user message");
    return;
  }
  if (size < sizeof(DPMSG_GENERIC)) FuzzFault("a system message shorter than its type");
  DWORD type = 0;
  std::memcpy(&type, message, sizeof type);
  if (type == DPSYS_CREATEPLAYERORGROUP) {
    const auto* m = reinterpret_cast<const DPMSG_CREATEPLAYERORGROUP*>(message);
    if (size < sizeof *m || (m->dwDataSize && !Inside(message, size, m->lpData, m->dwDataSize)) ||
        !NamesInside(message, size, m->dpnName)) {
      FuzzFault("a created player's record points outside its message");
    }
  } else if (type == DPSYS_DESTROYPLAYERORGROUP) {
    const auto* m = reinterpret_cast<const DPMSG_DESTROYPLAYERORGROUP*>(message);
    if (size < sizeof *m || !NamesInside(message, size, m->dpnName)) {
      FuzzFault("a destroyed player's record points outside its message");
    }
  } else if (type == DPSYS_SETPLAYERORGROUPDATA) {
    const auto* m = reinterpret_cast<const DPMSG_SETPLAYERORGROUPDATA*>(message);
    if (size < sizeof *m || (m->dwDataSize && !Inside(message, size, m->lpData, m->dwDataSize))) {
      FuzzFault("a player data record points outside its message");
    }
  } else if (type != DPSYS_HOST && type != DPSYS_SESSIONLOST) {
    FuzzFault("a system message of a type the stand-in never makes");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto state = static_cast<DirectPlayFeedState>(data[0] % 3);
  std::vector<DirectPlayFedPacket> packets;
  size_t at = 1;
  while (at + 3 <= size && packets.size() < kMostPackets) {
    DirectPlayFedPacket p;
    p.kind = static_cast<DirectPlayFedPacket::Kind>(data[at] & 3);
    p.peer = static_cast<uint8_t>((data[at] >> 2) & 3);
    size_t length = data[at + 1] | (data[at + 2] << 8);
    at += 3;
    if (length > size - at) length = size - at;
    p.bytes.assign(data + at, data + at + length);
    at += length;
    packets.push_back(std::move(p));
  }
  size_t messages = 0;
  const DirectPlayFeedOutcome outcome =
      EnetDirectPlayFeed(state, packets, [&](DPID from, DPID, const uint8_t* message, DWORD messageSize) {
        Check(from, message, messageSize);
        ++messages;
      });
  if (!outcome.broken.empty()) FuzzFault(outcome.broken.c_str());
  FuzzNote(std::string(state == DirectPlayFeedState::kHosting ? "hosting" : state == DirectPlayFeedState::kJoining ? "joining" : "enumerating") +
           ": " + std::to_string(packets.size()) + " packets, " + std::to_string(messages) + " messages, " +
           (outcome.inSession ? "in session" : "no session") + ", " + std::to_string(outcome.nodes) + " nodes, " +
           std::to_string(outcome.players) + " players, " + std::to_string(outcome.sessionsFound.size()) + " found");
  return 0;
}
