// Network play on this machine's loopback through the ENet DirectPlay
// stand-in: the round trip of one small message between two programs, and
// the traffic of an eight-player session (every ship publishing its compact
// state every 80 ms, a guaranteed kill report and chat line each second)
// with the game's own delivery, as bytes per second per player.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/game/net_peer.h"

namespace {

void UsePort(const char* port) {
  setenv("KORVANE_NET_PORT", port, 1);
  setenv("KORVANE_NET_HOSTS", (std::string("127.0.0.1:") + port).c_str(), 1);
}

void BM_NetLoopbackRoundTrip(benchmark::State& state) {
  UsePort("46011");
  NetPeer host("H", ""), guest("G", "");
  if (!host.Start("bench", true) || !guest.Start("bench", false)) {
    state.SkipWithError("no session");
    return;
  }
  while (host.players.empty() || guest.players.empty()) {
    host.Pump();
    guest.Pump();
  }
  size_t expected = 0;
  for (auto _ : state) {
    guest.SendChat("PING");
    ++expected;
    while (host.chat.size() < expected) host.Pump();
    host.SendChat("PONG");
    while (guest.chat.size() < expected) guest.Pump();
  }
}
BENCHMARK(BM_NetLoopbackRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_NetEightPlayerTraffic(benchmark::State& state) {
  UsePort("46021");
  const char* switches = state.range(0) ? "noguarantee" : "";
  std::vector<std::unique_ptr<NetPeer>> peers;
  for (int i = 0; i < 8; ++i) {
    peers.push_back(std::make_unique<NetPeer>("P" + std::to_string(i), switches));
    if (!peers.back()->Start("traffic", i == 0)) {
      state.SkipWithError("no session");
      return;
    }
  }
  auto everyoneSeen = [&] {
    for (auto& peer : peers) {
      if (peer->players.size() != 7) return false;
    }
    return true;
  };
  while (!everyoneSeen()) {
    for (auto& peer : peers) peer->Pump();
  }
  for (auto& peer : peers) peer->sent = peer->received = 0;
  constexpr int kSeconds = 3;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    for (uint32_t step = 1; step <= kSeconds * 1000 / 80; ++step) {
      for (size_t i = 0; i < peers.size(); ++i) {
        peers[i]->Publish(step * 80, static_cast<float>(step));
        if (step % 12 == i % 12) {
          peers[i]->SendChat("P> A LINE OF CHAT");
          peers[i]->SendKill(peers[(i + 1) % peers.size()]->id);
        }
      }
      const auto until = start + std::chrono::milliseconds(80 * step);
      while (std::chrono::steady_clock::now() < until) {
        for (auto& peer : peers) peer->Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
  uint64_t sent = 0, received = 0;
  for (auto& peer : peers) {
    sent += peer->sent;
    received += peer->received;
  }
  state.counters["sent_B_per_player_s"] = static_cast<double>(sent) / 8.0 / kSeconds;
  state.counters["received_B_per_player_s"] = static_cast<double>(received) / 8.0 / kSeconds;
}
BENCHMARK(BM_NetEightPlayerTraffic)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
