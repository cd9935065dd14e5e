// Frames per second of RenderWorld on the demo mission: the software pass
// into an 8-bit frame at 640x480 and 320x240 (and 640x480 at half
// resolution), along a fixed camera path from the hangar through the opened
// door, the pump room and the lava corridor into the control room.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/render_world.h"
#include "tools/frame/demo_scene.h"
#include "tools/frame/mission_frame.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;
constexpr int kPathFrames = 240;

struct Key {
  Vec3 position;
  float yawDegrees;
};
// Through the middle of the rooms, turning at the doorways.
const Key kPath[] = {
    {{0, 40, -280}, 0},   {{0, 20, 300}, 0},     {{0, 20, 850}, 0},     {{0, -30, 1100}, 40},
    {{150, 0, 1180}, 90}, {{700, 20, 1180}, 90}, {{1000, 0, 1180}, 60}, {{1200, -50, 1100}, 150},
};

MissionScene* Scene() {
  static MissionScene* scene = [] {
    char folder[] = "/tmp/korvane_bench_XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    std::string error;
    auto* loaded = new MissionScene;
    if (!DemoSceneLoadDoorOpen(folder, loaded, &error)) {
      std::fprintf(stderr, "render bench: %s\n", error.c_str());
      std::abort();
    }
    return loaded;
  }();
  return scene;
}

// Camera matrices of the path, interpolated between the keys.
const std::vector<std::vector<float>>& Path() {
  static const std::vector<std::vector<float>> path = [] {
    std::vector<std::vector<float>> cameras;
    const int segments = static_cast<int>(sizeof kPath / sizeof kPath[0]) - 1;
    for (int i = 0; i < kPathFrames; ++i) {
      const float t = static_cast<float>(i) * segments / kPathFrames;
      const int k = static_cast<int>(t);
      const float f = t - k;
      const Key& a = kPath[k];
      const Key& b = kPath[k + 1];
      FramePlacement placement;
      placement.position = {a.position.x + (b.position.x - a.position.x) * f,
                            a.position.y + (b.position.y - a.position.y) * f,
                            a.position.z + (b.position.z - a.position.z) * f};
      placement.angles = {0, (a.yawDegrees + (b.yawDegrees - a.yawDegrees) * f) * kDegrees, 0};
      float frame[16];
      std::vector<float> camera(16);
      FramePlacementMatrix(placement, frame);
      CameraMatrixFromFrame(frame, camera.data());
      cameras.push_back(camera);
    }
    return cameras;
  }();
  return path;
}

void RenderAlongPath(benchmark::State& state, int width, int height, RenderFlags flags) {
  MissionScene* scene = Scene();
  const auto& path = Path();
  FrameOptions options;
  options.width = width;
  options.height = height;
  options.flags = flags;
  FrameImage image;
  std::size_t frame = 0;
  std::uint64_t nodes = 0;
  for (auto _ : state) {
    RenderMissionFrame(scene, path[frame].data(), options, &image);
    nodes += g_StatNodes;
    benchmark::DoNotOptimize(image.pixels.data());
    frame = (frame + 1) % path.size();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
}

void BM_RenderWorld640x480(benchmark::State& state) { RenderAlongPath(state, 640, 480, kRenderFlagsDefault); }
void BM_RenderWorld320x240(benchmark::State& state) { RenderAlongPath(state, 320, 240, kRenderFlagsDefault); }
void BM_RenderWorld640x480Half(benchmark::State& state) {
  RenderAlongPath(state, 640, 480, kRenderFlagsDefault | kRenderHalfResolution);
}
void BM_RenderWorld640x480Unlit(benchmark::State& state) {
  RenderAlongPath(state, 640, 480, kRenderWorld | kRenderCameraMatrix | kRenderPerspective);
}

}  // namespace

BENCHMARK(BM_RenderWorld640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWorld320x240)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWorld640x480Half)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWorld640x480Unlit)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
