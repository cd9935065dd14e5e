// Eight programs of one session on this machine's loopback, each with its
// own network layer and receive path: every ship's state reaches every
// program, a kill report and a chat line reach all, a player leaves and the
// rest go on. Once with the provider's guaranteed delivery, once with the
// game's own under injected loss, duplication and reordering.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/game/net_peer.h"
#include "tests/support/process_info.h"
#include "tests/support/temp_folder.h"

namespace {

std::string TestPort() {
  static int next = 0;
  return std::to_string(21000 + (ProcessId() * 13 + next++) % 29000);
}

class NetEightPlayers : public ::testing::TestWithParam<const char*> {
 protected:
  // Pumps every program until done() holds (or a generous limit passes: a
  // busy machine is slow, never wrong).
  template <typename Done>
  bool PumpUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      for (auto& peer : peers_) peer->Pump();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  std::string port_ = TestPort();
  std::string hosts_ = "127.0.0.1:" + port_;
  ScopedEnv portEnv_{"KORVANE_NET_PORT", port_.c_str()};
  ScopedEnv hostsEnv_{"KORVANE_NET_HOSTS", hosts_.c_str()};
  std::vector<std::unique_ptr<NetPeer>> peers_;
};

TEST_P(NetEightPlayers, StatesKillsAndChatReachEveryProgramAndALeaverIsLetGo) {
  const bool own = std::string(GetParam()).find("noguarantee") != std::string::npos;
  for (int i = 0; i < 8; ++i) {
    peers_.push_back(std::make_unique<NetPeer>("P" + std::to_string(i), GetParam()));
    ASSERT_TRUE(peers_.back()->Start("eight", i == 0)) << i;
    EXPECT_EQ(peers_.back()->Net().IsHost(), i == 0);
    EXPECT_EQ(peers_.back()->Net().IsDeliveryGuaranteed(), !own);
  }
  ASSERT_TRUE(PumpUntil([&] {
    for (auto& peer : peers_) {
      if (peer->players.size() != 7) return false;
    }
    return true;
  }));

  // Every ship moves; every program ends up with every other ship's last
  // state.
  for (uint32_t step = 1; step <= 5; ++step) {
    for (size_t i = 0; i < peers_.size(); ++i) peers_[i]->Publish(step * 80, static_cast<float>(100 * i + step));
    for (auto& peer : peers_) peer->Pump();
  }
  ASSERT_TRUE(PumpUntil([&] {
    for (auto& peer : peers_) {
      for (size_t j = 0; j < peers_.size(); ++j) {
        if (peers_[j].get() != peer.get() && peer->players[peers_[j]->id] != static_cast<float>(100 * j + 5)) {
          return false;
        }
      }
    }
    return true;
  }));

  // P3 reports killing P5, P6 says hello: once each on every other program.
  ASSERT_TRUE(peers_[3]->SendKill(peers_[5]->id));
  ASSERT_TRUE(peers_[6]->SendChat("P6> HELLO"));
  ASSERT_TRUE(PumpUntil([&] {
    for (size_t i = 0; i < peers_.size(); ++i) {
      if (i != 3 && peers_[i]->kills[peers_[5]->id] != 1) return false;
      if (i != 6 && peers_[i]->chat.size() != 1) return false;
      if (peers_[i]->Net().GetPendingCount() != 0) return false;
    }
    return true;
  }));
  for (size_t i = 0; i < peers_.size(); ++i) {
    if (i != 6) EXPECT_EQ(peers_[i]->chat[0], "P6> HELLO");
  }

  // P7 leaves; the others see it go and carry on among themselves.
  peers_[7]->Leave();
  ASSERT_TRUE(PumpUntil([&] {
    for (size_t i = 0; i < 7; ++i) {
      if (peers_[i]->players.size() != 6) return false;
    }
    return true;
  }));
  ASSERT_TRUE(peers_[1]->SendChat("P1> STILL HERE"));
  ASSERT_TRUE(PumpUntil([&] {
    for (size_t i = 0; i < 7; ++i) {
      // Each program has every line but its own.
      if (peers_[i]->chat.size() != static_cast<size_t>((i != 6) + (i != 1))) return false;
    }
    return peers_[1]->Net().GetPendingCount() == 0;
  })) << [&] {
    std::string sizes;
    for (auto& peer : peers_) sizes += std::to_string(peer->chat.size()) + "/" + std::to_string(peer->players.size()) + " ";
    return sizes + "pending " + std::to_string(peers_[1]->Net().GetPendingCount());
  }();
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_TRUE(peers_[i]->unreachable.empty()) << i;
    EXPECT_EQ(peers_[i]->stats.Dropped(), 0u) << i;
    if (own) EXPECT_EQ(peers_[i]->kills[peers_[5]->id], i == 3 ? 0 : 1) << i;  // repeats filtered
  }
}

INSTANTIATE_TEST_SUITE_P(Delivery, NetEightPlayers,
                         ::testing::Values("", "noguarantee,loss=10,dup=10,reorder=10,seed=29"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Provider" : "OwnUnderFaults"); });

}  // namespace
