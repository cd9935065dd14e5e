// Arbitrary datagrams into the receive path: the first byte chooses the
// sender, whether the game's own delivery runs and whether the bytes arrive
// as a provider's system record; the rest is the message. Every dispatched
// message has every field its handler could read read, so a check that lets
// a short message through reads past the buffer under the address sanitizer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "game/net_duplicate_filter.h"
#include "game/net_receiver.h"
#include "game/net_wire.h"
#include "platform/direct_play.h"

namespace {

// The largest offset any handler reads plus its word.
size_t ReadAll(const NetMessageView& m) {
  size_t sum = m.Owner() + m.Action();
  for (size_t offset = 0; offset + 4 <= m.size; offset += 4) sum += m.W(offset);
  if (m.handler == NetHandler::kChat || m.handler == NetHandler::kScriptEvent) sum += std::strlen(m.Text());
  if (m.handler == NetHandler::kGameState) {
    for (int slot = 0; slot < kNetScoreSlots; ++slot) {
      sum += std::strlen(reinterpret_cast<const char*>(m.data + kNetScoreNamesOffset + slot * kNetScoreNameBytes));
    }
  }
  return sum;
}

class ReadingSink : public NetMessageSink {
 public:
  size_t sum = 0;
  void OnUserMessage(const NetMessageView& m) override {
    if (NetCheckUserMessage(m.data, m.size) != NetCheck::kOk) FuzzFault("a dispatched message fails its check");
    sum += ReadAll(m);
  }
  void OnAck(DPID from, uint32_t crc) override { sum += from ^ crc; }
  void SendAck(DPID to, const uint8_t* ack, size_t size) override { sum += to + ack[size - 1]; }
  void OnPlayerCreated(DPID id, const char* s, const char* l, const uint8_t* data, size_t size) override {
    sum += id + std::strlen(s) + std::strlen(l);
    for (size_t i = 0; i < size; ++i) sum += data[i];
  }
  void OnPlayerDestroyed(DPID id) override { sum += id; }
  void OnPlayerData(DPID id, const uint8_t* data, size_t size) override {
    sum += id;
    for (size_t i = 0; i < size; ++i) sum += data[i];
  }
  void OnSessionLost() override { ++sum; }
  void OnBecameHost() override { ++sum; }
};

NetDuplicateFilter g_Duplicates;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  // The message on the heap at exactly its size, so a read past it is seen.
  std::vector<uint8_t> message(data + 1, data + size);
  ReadingSink sink;
  NetReceiveStats stats;
  NetReceiver receiver(sink, g_Duplicates, stats, (control & 1) != 0, 0x10);
  // System records hold pointers; arbitrary bytes there stand for a
  // provider gone wrong and must be refused, not followed. Only records
  // whose pointers the receiver can check are fed: (control & 6) == 6.
  const DPID from = (control & 6) == 6 ? DPID_SYSMSG : 0x20 + (control >> 3);
  receiver.Handle(from, 0x10, message.data(), message.size());
  return sink.sum == 0xFFFFFFFF ? 1 : 0;
}
