// The player's ship's frame step in the started demo mission (single play):
// CNetDoc::UpdatePlayers at 20-ms frames, that is the ship's fixed-step
// flight with its world collision and flow lines, then the camera. Three
// flights: circling through the open hangar, pressed against the hangar's
// back wall (a collision in every sub-step), and circling with the chase
// camera on (its 33-ms steps with their wall casts).
#include <benchmark/benchmark.h>

#include "bench/demo_bench.h"
#include "engine/matrix.h"
#include "game/direct_player.h"
#include "game/net_doc.h"

namespace {

enum Flight { kCircling = 0, kAgainstTheWall = 1, kChaseCamera = 2 };

// The ship at a point of the hangar, level, heading +z, at rest, with the
// flight's targets (no interface: the controls keep the targets they have).
void Place(CDirectPlayer* ship, Flight flight) {
  PlayerStateBlock& state = ship->State();
  MatrixSetIdentity(state.matrix);
  state.matrix[12] = 0.0f;
  state.matrix[13] = 40.0f;
  state.matrix[14] = flight == kAgainstTheWall ? -380.0f : -200.0f;
  for (int i = 0; i < 3; ++i) state.velocity[i] = state.angularVelocity[i] = state.thrust[i] = state.angularAccel[i] = 0;
  state.thrust[2] = flight == kAgainstTheWall ? -200.0f : 200.0f;
  state.angularAccel[1] = flight == kAgainstTheWall ? 0.0f : 32.0f;
}

void BM_ShipFrameStep(benchmark::State& state) {
  const auto flight = static_cast<Flight>(state.range(0));
  auto* doc = new CNetDoc();
  CDirectPlayer* ship = doc->StartLevel() ? doc->GetLocalPlayer() : nullptr;
  if (!ship) {
    state.SkipWithError("the demo level did not start");
    delete doc;
    return;
  }
  if (flight == kChaseCamera) doc->ToggleChaseCamera();
  Place(ship, flight);
  int frames = 0;
  for (auto _ : state) {
    NextBenchFrame(20, true);
    doc->UpdatePlayers();
    // A circle takes about 10 s; a fresh start every 4 s keeps the ship in
    // the hangar whatever it hit.
    if (++frames % 200 == 0) Place(ship, flight);
  }
  float x = 0, y = 0, z = 0;
  ship->GetPosition(&x, &y, &z);
  state.counters["z"] = z;
  delete doc;
}
BENCHMARK(BM_ShipFrameStep)->Arg(kCircling)->Arg(kAgainstTheWall)->Arg(kChaseCamera);

}  // namespace

int main(int argc, char** argv) { return RunDemoBenchmarks(argc, argv); }
