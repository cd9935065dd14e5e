// The receive path from raw bytes: the dispatch table, the per-type checks
// (every malformed form dropped and counted, never read), acknowledgements
// and the duplicate filter of the own delivery layer, and the provider's
// system records.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/net_crc32.h"
#include "game/net_duplicate_filter.h"
#include "game/net_receiver.h"
#include "game/net_wire.h"
#include "platform/direct_play.h"

namespace {

class RecordingSink : public NetMessageSink {
 public:
  std::vector<NetMessageView> dispatched;
  std::vector<std::pair<DPID, uint32_t>> acks;     // acknowledgements received
  std::vector<std::pair<DPID, uint32_t>> ackSent;  // (to, CRC) sent
  std::vector<std::string> system;

  void OnUserMessage(const NetMessageView& m) override { dispatched.push_back(m); }
  void OnAck(DPID from, uint32_t crc) override { acks.push_back({from, crc}); }
  void SendAck(DPID to, const uint8_t* ack, size_t size) override {
    EXPECT_EQ(size, kNetAckSize);
    ackSent.push_back({to, NetReadU32(ack + 4)});
  }
  void OnPlayerCreated(DPID id, const char* s, const char* l, const uint8_t*, size_t size) override {
    system.push_back("created " + std::to_string(id) + " " + s + " " + l + " " + std::to_string(size));
  }
  void OnPlayerDestroyed(DPID id) override { system.push_back("destroyed " + std::to_string(id)); }
  void OnPlayerData(DPID id, const uint8_t*, size_t size) override {
    system.push_back("data " + std::to_string(id) + " " + std::to_string(size));
  }
  void OnSessionLost() override { system.push_back("lost"); }
  void OnBecameHost() override { system.push_back("host"); }
};

class NetReceive : public ::testing::Test {
 protected:
  void Feed(DPID from, const std::vector<uint8_t>& bytes, bool ownDelivery = false) {
    NetReceiver receiver(sink_, duplicates_, stats_, ownDelivery, kLocal);
    receiver.Handle(from, kLocal, bytes.data(), bytes.size());
  }
  static constexpr DPID kLocal = 0x10;
  RecordingSink sink_;
  NetDuplicateFilter duplicates_;
  NetReceiveStats stats_;
};

// A message of a type and size with the action byte set.
std::vector<uint8_t> Message(uint32_t type, size_t size, uint8_t action = 1) {
  std::vector<uint8_t> bytes(size, 0);
  if (size >= 12) NetWriteHeader(bytes.data(), type, 0x20, 1000);
  if (size > 16) bytes[16] = action;
  return bytes;
}

std::vector<uint8_t> Text(uint32_t type, const std::string& text) {
  auto bytes = Message(type, text.size() + kNetTextOverhead, 0);
  std::memcpy(bytes.data() + kNetTextOffset, text.c_str(), text.size() + 1);
  return bytes;
}

TEST(NetDispatchTable, EachCodeSelectsItsHandler) {
  using H = NetHandler;
  const std::pair<uint32_t, NetHandler> cases[] = {
      {0x32104D01, H::kIgnored},     {0x32104D0C, H::kIgnored},    {0x32104D02, H::kMissile},
      {0x32104D08, H::kMissile},     {0x32104D03, H::kExplosion},  {0x32104D18, H::kExplosion},
      {0x32104D09, H::kBomb},        {0x32104D33, H::kBomb},       {0x32104D0B, H::kProjectile},
      {0x32104D2F, H::kProjectile},  {0x32104D3C, H::kProjectile}, {0x32104D15, H::kShot},
      {0x32104D16, H::kShot},        {0x32104D32, H::kShot},       {0x32104D30, H::kArc},
      {0x32104D3E, H::kSmoke},       {0x32104D1E, H::kPulse},      {0x32104D27, H::kLight},
      {0x32104D28, H::kLight},       {0x32104D0D, H::kSupply},     {0x32104D12, H::kSupply},
      {0x32104D1A, H::kSupply},      {0x32104D1B, H::kSupply},     {0x32104D20, H::kSupply},
      {0x32104D26, H::kSupply},      {0x32104D35, H::kSupply},     {0x32104D36, H::kSupply},
      {0x32104D38, H::kSupply},      {0x32104D3B, H::kSupply},     {0x32104D3F, H::kBackPack},
      {0x32104D13, H::kGameState},   {0x32104D29, H::kGroupState}, {0x32104D2A, H::kScriptEvent},
      {0x32104D2C, H::kSensorState}, {0x32104D2D, H::kDoorState},  {0x32104D2E, H::kKill},
      {0x32104D34, H::kChat},        {0x32104D37, H::kShield},     {0x32104D40, H::kShield},
      {0x32104D04, H::kDefault},     {0x32104D07, H::kDefault},    {0x32104D0A, H::kDefault},
      {0x32104D14, H::kDefault},     {0x32104D17, H::kDefault},    {0x32104D19, H::kDefault},
      {0x32104D1C, H::kDefault},     {0x32104D1D, H::kDefault},    {0x32104D1F, H::kDefault},
      {0x32104D2B, H::kDefault},     {0x32104D31, H::kDefault},    {0x32104D3D, H::kDefault},
      {0x32104D41, H::kDefault},     {0x32104D00, H::kDefault},    {0x32104B00, H::kDefault},
      {0x32114D29, H::kGroupState},  // the acknowledgement bit does not change the handler
  };
  for (const auto& [code, handler] : cases) EXPECT_EQ(NetHandlerFor(code), handler) << std::hex << code;
}

// The size each type's well-formed message has (action 1 unless noted).
size_t GoodSize(NetHandler handler) {
  switch (handler) {
    case NetHandler::kMissile: return 72;
    case NetHandler::kExplosion:
    case NetHandler::kBomb: return 48;
    case NetHandler::kProjectile:
    case NetHandler::kShot: return 52;
    case NetHandler::kArc: return 68;
    case NetHandler::kSmoke: return 36;
    case NetHandler::kPulse:
    case NetHandler::kLight: return 40;
    case NetHandler::kSupply: return 84;
    case NetHandler::kBackPack: return 116;
    case NetHandler::kGameState: return 736;
    case NetHandler::kGroupState: return 28;
    case NetHandler::kKill:
    case NetHandler::kShield: return 20;
    default: return 40;
  }
}

TEST_F(NetReceive, EveryCodeReachesItsHandlerAtItsSize) {
  for (uint32_t type = 0x4D01; type <= 0x4D41; ++type) {
    const NetHandler handler = NetHandlerFor(kNetCodeBase + type);
    std::vector<uint8_t> bytes = handler == NetHandler::kChat || handler == NetHandler::kScriptEvent
                                     ? Text(type, "HELLO")
                                     : Message(type, GoodSize(handler));
    sink_.dispatched.clear();
    Feed(0x20, bytes);
    ASSERT_EQ(sink_.dispatched.size(), 1u) << std::hex << type;
    EXPECT_EQ(sink_.dispatched[0].handler, handler);
    EXPECT_EQ(sink_.dispatched[0].Owner(), 0x20u);
  }
  EXPECT_EQ(stats_.Dropped(), 0u);
}

TEST_F(NetReceive, MalformedMessagesAreDroppedAndCountedByKind) {
  auto unterminated = Text(kNetTypeChat, "HELLO");
  unterminated.back() = 'X';
  unterminated[unterminated.size() - 2] = 'X';
  unterminated[unterminated.size() - 3] = 'X';
  auto scriptUnterminated = unterminated;
  NetWriteU32(scriptUnterminated.data(), kNetCodeBase + kNetTypeScriptEvent);
  auto tooManySlots = Message(kNetTypeGameState, 736);
  NetWriteU32(tooManySlots.data() + 20, 11);
  auto longName = Message(kNetTypeGameState, 736);
  std::memset(longName.data() + kNetScoreNamesOffset + 3 * kNetScoreNameBytes, 'A', kNetScoreNameBytes);
  auto foreign = Message(kNetTypeKill, 20);
  NetWriteU32(foreign.data(), 0x12344D2E);
  auto backPackOdd = Message(0x4D3F, 100);
  auto unknownKind = Message(0x4D0D, 84, 1);
  NetWriteU32(unknownKind.data() + 80, 33);
  auto negativeKind = Message(0x4D21, 84, 1);
  NetWriteU32(negativeKind.data() + 80, 0xFFFFFFFFu);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    NetCheck why;
  } cases[] = {
      {"empty", {}, NetCheck::kShort},
      {"three bytes", {0x2E, 0x4D, 0x10}, NetCheck::kShort},
      {"header cut", Message(kNetTypeKill, 11), NetCheck::kShort},
      {"kill short", Message(kNetTypeKill, 19), NetCheck::kShort},
      {"kill long", Message(kNetTypeKill, 21), NetCheck::kLong},
      {"missile short", Message(0x4D02, 71), NetCheck::kShort},
      {"arc short", Message(0x4D30, 64), NetCheck::kShort},
      {"explosion long", Message(0x4D18, 52), NetCheck::kLong},
      {"group state short", Message(kNetTypeGroupState, 24, 2), NetCheck::kShort},
      {"game state short", Message(kNetTypeGameState, 735), NetCheck::kShort},
      {"game state slots", tooManySlots, NetCheck::kMalformed},
      {"game state name", longName, NetCheck::kMalformed},
      {"supply create short", Message(0x4D0D, 83, 1), NetCheck::kShort},
      {"supply remove long", Message(0x4D0D, 84, 3), NetCheck::kLong},
      {"back pack odd size", backPackOdd, NetCheck::kShort},
      {"back pack create of a supply's size", Message(0x4D3F, 84, 1), NetCheck::kShort},
      {"back pack hide long", Message(0x4D3F, 116, 4), NetCheck::kLong},
      {"supply of kind 33", unknownKind, NetCheck::kMalformed},
      {"supply of kind -1", negativeKind, NetCheck::kMalformed},
      {"sensor short", Message(0x4D2C, 19, 2), NetCheck::kShort},
      {"sensor without its radius", Message(0x4D2C, 23, 2), NetCheck::kShort},
      {"door without its state bits", Message(0x4D2D, 39, 2), NetCheck::kShort},
      {"chat without text", Message(kNetTypeChat, 17, 0), NetCheck::kShort},
      {"chat unterminated", unterminated, NetCheck::kMalformed},
      {"chat too long", Text(kNetTypeChat, std::string(kNetMaxText + 1, 'A')), NetCheck::kLong},
      {"script text unterminated", scriptUnterminated, NetCheck::kMalformed},
      {"ack short", Message(kNetTypeAck, 11), NetCheck::kShort},
      {"ack long", Message(kNetTypeAck, 16), NetCheck::kLong},
      {"foreign code", foreign, NetCheck::kMalformed},
      {"huge", std::vector<uint8_t>(kNetMaxUserMessage + 1, 0), NetCheck::kLong},
  };
  for (const auto& c : cases) {
    NetReceiveStats before = stats_;
    Feed(0x20, c.bytes);
    EXPECT_TRUE(sink_.dispatched.empty()) << c.what;
    EXPECT_TRUE(sink_.acks.empty()) << c.what;
    EXPECT_EQ(stats_.dropped[static_cast<int>(c.why)], before.dropped[static_cast<int>(c.why)] + 1) << c.what;
  }
}

TEST_F(NetReceive, EveryCutOfEveryWellFormedMessageIsDroppedUnreadOrDispatchedWhole) {
  // Each cut is a heap block of exactly its length: a read past it is caught
  // by the address sanitizer.
  for (uint32_t type = 0x4D01; type <= 0x4D41; ++type) {
    const NetHandler handler = NetHandlerFor(kNetCodeBase + type);
    const std::vector<uint8_t> whole = handler == NetHandler::kChat || handler == NetHandler::kScriptEvent
                                           ? Text(type, "HELLO")
                                           : Message(type, GoodSize(handler));
    for (size_t cut = 0; cut < whole.size(); ++cut) {
      std::unique_ptr<uint8_t[]> bytes(new uint8_t[cut]);
      std::memcpy(bytes.get(), whole.data(), cut);
      sink_.dispatched.clear();
      NetReceiver receiver(sink_, duplicates_, stats_, true, kLocal);
      receiver.Handle(0x20, kLocal, bytes.get(), cut);
      for (const NetMessageView& m : sink_.dispatched) {
        EXPECT_EQ(NetCheckUserMessage(m.data, m.size), NetCheck::kOk);
        // Only forms without a fixed size survive a cut: a text keeps its
        // NUL when only the spare bytes go.
        const bool text = m.handler == NetHandler::kChat || m.handler == NetHandler::kScriptEvent;
        EXPECT_TRUE(m.handler == NetHandler::kDefault || m.handler == NetHandler::kIgnored ||
                    m.handler == NetHandler::kSensorState || m.handler == NetHandler::kDoorState ||
                    (text && cut > kNetTextOffset + 5))
            << std::hex << type << " cut at " << std::dec << cut;
      }
    }
  }
}

TEST_F(NetReceive, AcknowledgementGoesToTheDeliveryLayer) {
  auto ack = Message(kNetTypeAck, 12);
  NetWriteU32(ack.data() + 4, 0xCAFEF00D);
  Feed(0x20, ack, true);
  ASSERT_EQ(sink_.acks.size(), 1u);
  EXPECT_EQ(sink_.acks[0], (std::pair<DPID, uint32_t>{0x20, 0xCAFEF00D}));
  EXPECT_TRUE(sink_.dispatched.empty());
}

TEST_F(NetReceive, RepeatedGuaranteedMessageIsDispatchedOnceAndAcknowledgedEachTime) {
  auto kill = Message(kNetTypeKill, 20);
  NetWriteU32(kill.data(), NetReadU32(kill.data()) | kNetAckRequested);
  Feed(0x20, kill, true);
  Feed(0x20, kill, true);
  EXPECT_EQ(sink_.dispatched.size(), 1u);
  ASSERT_EQ(sink_.ackSent.size(), 2u);
  EXPECT_EQ(sink_.ackSent[1], (std::pair<DPID, uint32_t>{0x20, Crc32(kill.data(), kill.size())}));
  EXPECT_EQ(stats_.duplicates, 1u);
  // The same bytes from another player are another message.
  Feed(0x30, kill, true);
  EXPECT_EQ(sink_.dispatched.size(), 2u);
  // With the provider guaranteeing delivery nothing is acknowledged or
  // filtered.
  Feed(0x20, kill, false);
  EXPECT_EQ(sink_.dispatched.size(), 3u);
  EXPECT_EQ(sink_.ackSent.size(), 3u);
}

TEST(NetDuplicateFilter, KeyZeroIsAKeyAndTheRingForgetsTheOldest) {
  NetDuplicateFilter filter;
  EXPECT_FALSE(filter.SeenBefore(0));  // an empty slot is no key
  EXPECT_TRUE(filter.SeenBefore(0));
  for (uint32_t key = 1; key < NetDuplicateFilter::kSlots; ++key) ASSERT_FALSE(filter.SeenBefore(key));
  EXPECT_TRUE(filter.SeenBefore(0));  // still among the last 2048
  EXPECT_FALSE(filter.SeenBefore(5000));  // takes key 0's slot
  EXPECT_FALSE(filter.SeenBefore(0));
}

// A system record laid out as the provider lays it: the record, then its
// data and names in the same buffer.
struct SystemBuffer {
  alignas(8) uint8_t bytes[256] = {};
  size_t size = 0;
};

SystemBuffer CreatedRecord(const char* shortName, const char* longName, size_t dataSize) {
  SystemBuffer b;
  DPMSG_CREATEPLAYERORGROUP m{};
  m.dwType = DPSYS_CREATEPLAYERORGROUP;
  m.dwPlayerType = DPPLAYERTYPE_PLAYER;
  m.dpId = 0x20;
  size_t at = sizeof m;
  m.lpData = b.bytes + at;
  m.dwDataSize = static_cast<DWORD>(dataSize);
  at += dataSize;
  m.dpnName.lpszShortNameA = reinterpret_cast<const char*>(b.bytes + at);
  std::strcpy(reinterpret_cast<char*>(b.bytes + at), shortName);
  at += std::strlen(shortName) + 1;
  m.dpnName.lpszLongNameA = reinterpret_cast<const char*>(b.bytes + at);
  std::strcpy(reinterpret_cast<char*>(b.bytes + at), longName);
  at += std::strlen(longName) + 1;
  std::memcpy(b.bytes, &m, sizeof m);
  b.size = at;
  return b;
}

TEST_F(NetReceive, SystemRecordsArePassedOnWhenTheirPointersStayInside) {
  NetReceiver receiver(sink_, duplicates_, stats_, false, kLocal);
  SystemBuffer good = CreatedRecord("ACE", "AB", 36);
  receiver.Handle(DPID_SYSMSG, kLocal, good.bytes, good.size);
  ASSERT_EQ(sink_.system.size(), 1u);
  EXPECT_EQ(sink_.system[0], "created 32 ACE AB 36");

  // The data claims more than the buffer holds; a name runs off its end.
  SystemBuffer overlong = CreatedRecord("ACE", "AB", 36);
  DPMSG_CREATEPLAYERORGROUP m;
  std::memcpy(&m, overlong.bytes, sizeof m);
  m.dwDataSize = 100000;
  std::memcpy(overlong.bytes, &m, sizeof m);
  receiver.Handle(DPID_SYSMSG, kLocal, overlong.bytes, overlong.size);
  SystemBuffer unterminated = CreatedRecord("ACE", "AB", 0);
  receiver.Handle(DPID_SYSMSG, kLocal, unterminated.bytes, unterminated.size - 1);
  receiver.Handle(DPID_SYSMSG, kLocal, good.bytes, sizeof(DPMSG_CREATEPLAYERORGROUP) - 1);
  EXPECT_EQ(sink_.system.size(), 1u);
  EXPECT_EQ(stats_.Dropped(), 3u);

  // Player data about this program's own player is its own business.
  DPMSG_SETPLAYERORGROUPDATA data{DPSYS_SETPLAYERORGROUPDATA, DPPLAYERTYPE_PLAYER, kLocal, nullptr, 0};
  receiver.Handle(DPID_SYSMSG, kLocal, &data, sizeof data);
  data.dpId = 0x20;
  receiver.Handle(DPID_SYSMSG, kLocal, &data, sizeof data);
  DPMSG_GENERIC lost{DPSYS_SESSIONLOST}, host{DPSYS_HOST}, other{0x0103};
  receiver.Handle(DPID_SYSMSG, kLocal, &lost, sizeof lost);
  receiver.Handle(DPID_SYSMSG, kLocal, &host, sizeof host);
  receiver.Handle(DPID_SYSMSG, kLocal, &other, sizeof other);
  DPMSG_DESTROYPLAYERORGROUP gone{DPSYS_DESTROYPLAYERORGROUP, DPPLAYERTYPE_PLAYER, 0x20, {}};
  receiver.Handle(DPID_SYSMSG, kLocal, &gone, sizeof gone);
  EXPECT_EQ(sink_.system, (std::vector<std::string>{"created 32 ACE AB 36", "data 32 0", "lost", "host", "destroyed 32"}));
}

}  // namespace
