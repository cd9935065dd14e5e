// The network layer's sends: the provider's guaranteed path, the own
// delivery layer's queue, resends, acknowledgements, the retry limit, failed
// sends, and the session start of the menus.
#include <gtest/gtest.h>

#include <memory>

#include "game/net_crc32.h"
#include "game/net_wire.h"
#include "game/network_layer.h"
#include "platform/clock.h"
#include "tests/game/fake_direct_play.h"

namespace {

TEST(NetCrc32, WorkedValuesAndZeroComesOutAsOne) {
  EXPECT_EQ(Crc32("abc", 3), 0xCADBBE3Du);
  EXPECT_EQ(Crc32("", 0), 0xFFFFFFFFu);
  const uint8_t zero[4] = {0xFF, 0xFF, 0xFF, 0xFF};  // the register ends at 0
  EXPECT_EQ(Crc32(zero, 4), 1u);
}

TEST(NetMissionNumber, DigitsAfterTheFirstCharacterUpToTheDot) {
  const std::pair<const char*, DWORD> cases[] = {{"M12.CAN", 12}, {"M1.CAN", 1}, {"MX.CAN", 0}, {"", 0}, {"M7", 7}};
  for (const auto& [name, number] : cases) EXPECT_EQ(MissionNumberOf(name), number) << name;
}

class NetDelivery : public ::testing::Test {
 protected:
  void SetUp() override {
    ClockUseFixedStep(10);
    ClockSetTime(5);  // just after the clock's wrap: "0 = never sent" must not delay the first send
    net_.SetHostServices(&host_);
  }
  void TearDown() override {
    net_.Close();
    ClockUseRealTime();
  }
  // A connection whose provider guarantees nothing unless told.
  FakeDirectPlay* Connect(DWORD capsFlags = 0, DWORD timeout = 500) {
    auto dp = std::make_unique<FakeDirectPlay>(&sends_);
    dp->caps.dwFlags = capsFlags;
    dp->caps.dwTimeout = timeout;
    FakeDirectPlay* raw = dp.get();
    DPADDRESS address{};
    EXPECT_TRUE(net_.InitConnection(address, std::move(dp)));
    return raw;
  }
  std::vector<uint8_t> Message(uint32_t type = kNetTypeKill) {
    std::vector<uint8_t> bytes(20, 0);
    NetWriteHeader(bytes.data(), type, host_.local, 77);
    return bytes;
  }
  size_t SendsTo(DPID to) const {
    size_t n = 0;
    for (const FakeSend& s : sends_) n += s.to == to;
    return n;
  }

  std::vector<FakeSend> sends_;
  FakeNetHost host_;
  CNet net_;
};

TEST_F(NetDelivery, CapabilitiesSetTheTimeoutAndTheGuarantee) {
  const struct {
    DWORD flags, timeout, wantTimeout;
    bool guaranteed;
  } cases[] = {{0, 40, 100, false}, {0, 0, 100, false}, {DPCAPS_GUARANTEEDSUPPORTED, 900, 900, true},
               {DPCAPS_GUARANTEEDOPTIMIZED, 100, 100, true}};
  for (const auto& c : cases) {
    Connect(c.flags, c.timeout);
    EXPECT_EQ(net_.GetResendTimeout(), c.wantTimeout);
    EXPECT_EQ(net_.IsDeliveryGuaranteed(), c.guaranteed);
  }
  net_.Close();
  EXPECT_EQ(net_.GetResendTimeout(), kNetDefaultResendTimeout);
  EXPECT_EQ(net_.GetDirectPlay(), nullptr);
}

TEST_F(NetDelivery, GuaranteeingProviderCarriesSendsAndItsFailuresReachTheCaller) {
  FakeDirectPlay* dp = Connect(DPCAPS_GUARANTEEDSUPPORTED);
  auto message = Message();
  EXPECT_TRUE(net_.Send(0x20, message.data(), 20, true));
  ASSERT_EQ(sends_.size(), 1u);
  EXPECT_EQ(sends_[0].flags, DPSEND_GUARANTEED);
  EXPECT_EQ(NetReadU32(sends_[0].bytes.data()) & kNetAckRequested, 0u);  // the provider acknowledges, not the game
  dp->failFor[0x21] = DPERR_INVALIDPLAYER;
  EXPECT_FALSE(net_.Send(0x21, message.data(), 20, true));
  EXPECT_EQ(net_.GetPendingCount(), 0u);
}

TEST_F(NetDelivery, GuaranteedMessageGoesAtOnceAndAgainAfterTheTimeoutUntilAcknowledged) {
  Connect();
  auto message = Message();
  ASSERT_TRUE(net_.Send(0x20, message.data(), 20, true));
  ASSERT_EQ(sends_.size(), 1u);
  EXPECT_NE(NetReadU32(message.data()) & kNetAckRequested, 0u);  // the caller's buffer is marked
  EXPECT_EQ(host_.queued, 20);

  ClockSetTime(5 + 500);  // not past the timeout yet
  net_.PumpResends(false);
  EXPECT_EQ(sends_.size(), 1u);
  host_.rendering = true;  // a frame renders: resends wait
  ClockSetTime(5 + 501);
  net_.PumpResends(false);
  EXPECT_EQ(sends_.size(), 1u);
  host_.rendering = false;
  net_.PumpResends(false);
  ASSERT_EQ(sends_.size(), 2u);
  EXPECT_EQ(sends_[1].bytes, sends_[0].bytes);

  net_.OnAck(0x99, Crc32(message.data(), 20));  // not a recipient
  EXPECT_EQ(net_.GetPendingCount(), 1u);
  net_.OnAck(0x20, Crc32(message.data(), 20));
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_EQ(host_.queued, 0);
}

TEST_F(NetDelivery, BroadcastTurnsIntoSendsToTheRecipientsStillOwingAnAcknowledgement) {
  Connect();
  host_.others = {0x20, 0x30};
  auto message = Message();
  ASSERT_TRUE(net_.Send(0, message.data(), 20, true));
  ASSERT_EQ(sends_.size(), 1u);
  EXPECT_EQ(sends_[0].to, DPID_ALLPLAYERS);
  net_.OnAck(0x20, Crc32(message.data(), 20));
  ClockSetTime(5 + 600);
  net_.PumpResends(false);
  ASSERT_EQ(sends_.size(), 2u);
  EXPECT_EQ(sends_[1].to, 0x30u);
  net_.RemoveRecipient(0x30);  // the last one leaves
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_TRUE(host_.unreachable.empty());
}

TEST_F(NetDelivery, NobodyToSendToSendsNothingButCountsTheBytes) {
  Connect();
  auto message = Message();
  EXPECT_FALSE(net_.Send(0, message.data(), 20, true));
  EXPECT_TRUE(sends_.empty());
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_EQ(host_.sent, 20u);
}

TEST_F(NetDelivery, UnguaranteedMessageGoesOnceAndIsNotMarked) {
  Connect();
  auto message = Message();
  ASSERT_TRUE(net_.Send(0x20, message.data(), 20, false));
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  ClockSetTime(5 + 5000);
  net_.PumpResends(false);
  ASSERT_EQ(sends_.size(), 1u);
  EXPECT_EQ(NetReadU32(sends_[0].bytes.data()) & kNetAckRequested, 0u);
}

TEST_F(NetDelivery, PlayerThatNeverAcknowledgesIsDroppedAndReportedAfterTheRetryLimit) {
  Connect();
  host_.others = {0x20, 0x30};
  auto message = Message();
  ASSERT_TRUE(net_.Send(0, message.data(), 20, true));
  net_.OnAck(0x30, Crc32(message.data(), 20));
  uint32_t now = 5;
  for (int i = 1; i < kNetMaxTransmissions; ++i) {
    now += 501;
    ClockSetTime(now);
    net_.PumpResends(false);
  }
  EXPECT_EQ(SendsTo(0x20), static_cast<size_t>(kNetMaxTransmissions - 1));  // plus the first broadcast
  EXPECT_TRUE(host_.unreachable.empty());
  ClockSetTime(now + 501);
  net_.PumpResends(false);
  EXPECT_EQ(SendsTo(0x20), static_cast<size_t>(kNetMaxTransmissions - 1));
  EXPECT_EQ(host_.unreachable, std::vector<DPID>{0x20});
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_EQ(host_.queued, 0);
}

TEST_F(NetDelivery, FailedSendsAreNeverCountedAsDelivered) {
  FakeDirectPlay* dp = Connect();
  auto message = Message();
  // The first transmission fails: the caller hears it and nothing is queued.
  dp->failFor[0x20] = DPERR_INVALIDPLAYER;
  EXPECT_FALSE(net_.Send(0x20, message.data(), 20, true));
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_EQ(host_.unreachable, std::vector<DPID>{0x20});
  // A resend that fails drops that recipient only, reported.
  host_.unreachable.clear();
  dp->failFor.clear();
  auto second = Message(kNetTypeChat);
  ASSERT_TRUE(net_.Send(0x30, second.data(), 20, true));
  ASSERT_TRUE(net_.Send(0x40, second.data(), 20, true));
  dp->failFor[0x30] = DPERR_INVALIDPLAYER;
  ClockSetTime(5 + 501);
  net_.PumpResends(false);
  EXPECT_EQ(host_.unreachable, std::vector<DPID>{0x30});
  EXPECT_EQ(net_.GetPendingCount(), 1u);
  // A failed broadcast is no delivery either.
  dp->broadcastResult = DPERR_GENERIC;
  host_.others = {0x50};
  auto third = Message();
  EXPECT_FALSE(net_.Send(0, third.data(), 20, true));
}

TEST_F(NetDelivery, FullQueueRefusesGuaranteedSends) {
  Connect();
  auto message = Message();
  for (size_t i = 0; i < kNetMaxPending; ++i) {
    NetWriteU32(message.data() + 8, static_cast<uint32_t>(i));
    ASSERT_TRUE(net_.Send(0x20, message.data(), 20, true));
  }
  EXPECT_FALSE(net_.Send(0x20, message.data(), 20, true));
  EXPECT_EQ(net_.GetPendingCount(), kNetMaxPending);
  EXPECT_TRUE(net_.Send(0x20, message.data(), 20, false));  // one transmission needs no room
}

TEST_F(NetDelivery, StartOrJoinPicksAFreeNameOrJoinsOrCreatesTheNamedSession) {
  const struct {
    bool startNew;
    const char* name;
    const char* created;
    const char* joined;
    bool host;
  } cases[] = {
      {true, "Duel", "Duel_2", "", true},     // a new game never joins: the first free suffix
      {true, "Fresh", "Fresh", "", true},
      {false, "Other", "", "Other", false},  // a join of a listed name
      {false, "duel", "duel", "", true},     // names compare with case: nobody has it, so it is made
  };
  NetMenuSettings unnamed;
  EXPECT_FALSE(net_.StartOrJoin(unnamed));  // nothing to find a session by
  for (const auto& c : cases) {
    FakeDirectPlay* made = nullptr;
    net_.SetDirectPlayFactory([&]() -> std::unique_ptr<IDirectPlay3A> {
      auto dp = std::make_unique<FakeDirectPlay>(&sends_);
      dp->sessions = {"Duel", "Duel_1", "Other"};
      made = dp.get();
      return dp;
    });
    host_.created.clear();
    host_.shown.clear();
    NetMenuSettings menus;
    menus.startNew = c.startNew;
    menus.sessionName = c.name;
    menus.playerName = "ACE";
    menus.shipCode = "BC";
    ASSERT_TRUE(net_.StartOrJoin(menus)) << c.name;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->created, c.created) << c.name;
    EXPECT_EQ(made->joined, c.joined) << c.name;
    EXPECT_EQ(net_.IsHost(), c.host) << c.name;
    EXPECT_EQ(host_.created, std::vector<std::string>{"ACE/BC"});
    const std::string shownName = *c.created ? c.created : c.joined;
    EXPECT_EQ(host_.shown.at(0), (*c.created ? "Started new game: " : "Game joined: ") + shownName);
    if (c.startNew) {
      EXPECT_EQ(std::string(menus.sessionName), c.created);
    }
  }
}

TEST_F(NetDelivery, CloseAtAnyTimeLeavesNothingQueued) {
  Connect();
  auto message = Message();
  ASSERT_TRUE(net_.Send(0x20, message.data(), 20, true));
  net_.Close();
  EXPECT_EQ(net_.GetPendingCount(), 0u);
  EXPECT_EQ(host_.queued, 0);
  net_.Close();
  net_.PumpResends(false);  // nothing to do and nothing to send with
  EXPECT_FALSE(net_.Send(0x20, message.data(), 20, true));
}

}  // namespace
