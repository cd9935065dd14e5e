#pragma once
// One received DirectPlay message from raw bytes to its handler: system
// messages checked and unpacked, acknowledgements handed to the delivery
// layer, guaranteed messages of the own delivery layer acknowledged and
// filtered for repeats, user messages checked for their type's form and
// dispatched. Nothing here reads outside the message; what fails a check is
// dropped and counted. It knows nothing of the document: a sink receives
// the results, so the path can be fed arbitrary datagrams in tests.
#include <cstddef>
#include <cstdint>

#include "game/net_message_check.h"
#include "platform/types.h"

class NetDuplicateFilter;

// A user message that passed its checks.
struct NetMessageView {
  DPID from = 0;
  DPID to = 0;
  const uint8_t* data = nullptr;
  size_t size = 0;
  uint32_t code = 0;
  NetHandler handler = NetHandler::kDefault;

  uint32_t Type() const { return code & 0xFFFFu; }
  // The owning player of the header (offset 4).
  uint32_t Owner() const;
  // The action byte (offset 16); 0 for a message too short to have one.
  uint8_t Action() const { return size > 16 ? data[16] : 0; }
  // Word, float and byte at an offset; 0 past the end.
  uint32_t W(size_t offset) const;
  float F(size_t offset) const;
  uint8_t B(size_t offset) const { return offset < size ? data[offset] : 0; }
  // A text message's text (terminated inside the message by the checks).
  const char* Text() const { return reinterpret_cast<const char*>(data) + 17; }
};

class NetMessageSink {
 public:
  virtual ~NetMessageSink() = default;
  virtual void OnUserMessage(const NetMessageView& message) = 0;
  // An acknowledgement from a player of the message whose CRC it names.
  virtual void OnAck(DPID from, uint32_t crc) = 0;
  // Sends the acknowledgement bytes to a player (unguaranteed).
  virtual void SendAck(DPID to, const uint8_t* ack, size_t size) = 0;
  virtual void OnPlayerCreated(DPID id, const char* shortName, const char* longName, const uint8_t* data,
                               size_t size) = 0;
  virtual void OnPlayerDestroyed(DPID id) = 0;
  virtual void OnPlayerData(DPID id, const uint8_t* data, size_t size) = 0;
  virtual void OnSessionLost() = 0;
  virtual void OnBecameHost() = 0;
};

// What the receive path counted (the statistics and the tests read it).
struct NetReceiveStats {
  uint32_t messages = 0;    // everything handed to Handle
  uint32_t dispatched = 0;  // user messages that reached their handler
  uint32_t duplicates = 0;  // guaranteed repeats dropped
  uint32_t dropped[kNetCheckKinds] = {};  // by NetCheck (kOk unused); system messages count as malformed
  uint32_t Dropped() const { return dropped[1] + dropped[2] + dropped[3]; }
};

class NetReceiver {
 public:
  // ownDelivery: the game's own acknowledgement layer runs (the provider
  // does not guarantee delivery). localId: this program's player.
  NetReceiver(NetMessageSink& sink, NetDuplicateFilter& duplicates, NetReceiveStats& stats, bool ownDelivery,
              DPID localId)
      : sink_(sink), duplicates_(duplicates), stats_(stats), ownDelivery_(ownDelivery), localId_(localId) {}

  // One message as Receive gave it. A system message (from 0) is the
  // provider's record at the start of data, whose pointers must point
  // inside [data, data + size).
  void Handle(DPID from, DPID to, const void* data, size_t size);

 private:
  void HandleSystem(const uint8_t* data, size_t size);
  void HandleUser(DPID from, DPID to, const uint8_t* data, size_t size);
  void Drop(NetCheck why) { ++stats_.dropped[static_cast<int>(why)]; }

  NetMessageSink& sink_;
  NetDuplicateFilter& duplicates_;
  NetReceiveStats& stats_;
  bool ownDelivery_;
  DPID localId_;
};
