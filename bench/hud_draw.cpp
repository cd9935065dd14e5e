// The HUD's cost per frame: the radar's rebuild (every 81 ms of game time)
// with a number of targets and a beacon ring, and the whole HUD drawn into a
// 640x480 target with the radar rebuilt each time (its worst frame).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/demo_bench.h"
#include "engine/records.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "media/back_buffer_access.h"

namespace {

std::vector<uint8_t> g_Pixels(640 * 480);

bool Acquire(BackBufferTarget* target) {
  *target = {g_Pixels.data(), 640, 640, 480};
  return true;
}
void Release() {}
const BackBufferSource g_Source{Acquire, Release};

// A document with the local ship, targets other ships in a square round it
// and a beacon 300 units ahead.
CNetDoc* MakeScene(int targets, PolygonGroup* beacon) {
  auto* doc = new CNetDoc();
  doc->CreateLocalPlayer();
  for (int i = 0; i < targets; ++i) {
    auto* player = new CDirectPlayer("t", "TT", static_cast<DPID>(0x1000 + i));
    doc->AddPlayer(player);
    float* m = player->GetOrientation();
    m[12] = static_cast<float>((i * 37) % 1400 - 700);
    m[13] = static_cast<float>((i * 53) % 1000 - 500);
    m[14] = static_cast<float>((i * 71) % 1400 - 700);
  }
  beacon->visible = 1;
  beacon->worldCentre = {0, 0, 300};
  doc->SetBeaconGroup(beacon);
  return doc;
}

void BM_RadarRebuild(benchmark::State& state) {
  PolygonGroup beacon{};
  CNetDoc* doc = MakeScene(static_cast<int>(state.range(0)), &beacon);
  doc->DrawRadar();  // sizes the image
  for (auto _ : state) {
    g_GameTime = GameTimeAdd(g_GameTime, 81);
    doc->RenderRadarImage();
  }
  delete doc;
}
BENCHMARK(BM_RadarRebuild)->Arg(0)->Arg(16)->Arg(256);

void BM_WholeHud(benchmark::State& state) {
  PolygonGroup beacon{};
  CNetDoc* doc = MakeScene(16, &beacon);
  for (int i = 0; i < 8; ++i) doc->AddMessage("a message of the level script, long enough to be split", 0, FALSE);
  doc->SetGunHeat(0.7f);
  doc->SetCountdown(59999);
  for (auto _ : state) {
    g_GameTime = GameTimeAdd(g_GameTime, 81);
    doc->InvalidateHudPanels();
    doc->InvalidateMessageArea();
    doc->DrawHud();
  }
  delete doc;
}
BENCHMARK(BM_WholeHud);

void InstallBackBuffer() { BackBufferSourceInstall(&g_Source); }
void RemoveBackBuffer() { BackBufferSourceInstall(nullptr); }

}  // namespace

int main(int argc, char** argv) { return RunDemoBenchmarks(argc, argv, false, InstallBackBuffer, RemoveBackBuffer); }
