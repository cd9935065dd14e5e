// korvane3d's triangle path: a demo-mission frame at 640x480 through the
// Direct3D back end drawn by OpenGL through EGL (Mesa's software rasteriser
// where there is no GPU), along the hangar-to-control-room camera path; and
// the execute-buffer encoding alone: 1,000 textured quads through
// AddPolygon3D and FlushPolygons3D onto a device that draws nothing (the
// stand-in still checks and decodes each buffer).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/render_hardware.h"
#include "engine/texture.h"
#include "platform/backend.h"
#include "platform/device_3d.h"
#include "platform/headless/headless_backend.h"
#include "render/d3d/execute_batch_3d.h"
#include "tools/frame/demo_scene.h"
#include "tools/frame/triangle_frame.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;

void InstallBackend(std::unique_ptr<Platform3DDevice> device) {
  PlatformBackend backend = HeadlessBackendCreate(std::make_unique<HeadlessInput>(std::vector<TimedInputEvent>{}));
  backend.device3d = std::move(device);
  PlatformBackendInstall(std::move(backend));
}

MissionScene* Scene() {
  static MissionScene* scene = [] {
    char folder[] = "/tmp/korvane_bench_XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    std::string error;
    auto* loaded = new MissionScene;
    if (!DemoSceneLoadDoorOpen(folder, loaded, &error)) {
      std::fprintf(stderr, "triangle bench: %s\n", error.c_str());
      std::abort();
    }
    WorldComputeHardwareTexCoords(loaded->world);
    return loaded;
  }();
  return scene;
}

// Cameras from the hangar through the opened door to the lava corridor.
std::vector<std::vector<float>> Path() {
  std::vector<std::vector<float>> cameras;
  for (int i = 0; i < 60; ++i) {
    FramePlacement placement;
    placement.position = {0, 20, -280.0f + 20.0f * static_cast<float>(i)};
    placement.angles = {0, (i > 50 ? 9.0f * static_cast<float>(i - 50) : 0.0f) * kDegrees, 0};
    float frame[16];
    std::vector<float> camera(16);
    FramePlacementMatrix(placement, frame);
    CameraMatrixFromFrame(frame, camera.data());
    cameras.push_back(camera);
  }
  return cameras;
}

void BM_TriangleFrame640x480(benchmark::State& state) {
  InstallBackend(Gl3DDeviceCreate());
  MissionScene* scene = Scene();
  TriangleBackEnd backEnd;
  std::string error;
  if (!backEnd.SetUp(640, 480, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const auto path = Path();
  TriangleFrameOptions options;
  size_t frame = 0;
  for (auto _ : state) {
    DrawMissionFrameTriangles(scene, path[frame].data(), options);
    frame = (frame + 1) % path.size();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// A device that takes every call and draws nothing.
class Idle3DDevice : public Platform3DDevice {
 public:
  const char* Name() const override { return "idle"; }
  bool Open(std::string*) override { return true; }
  uint32_t TextureCreate() override { return ++textures_; }
  void TextureUpload(uint32_t, int, int, const uint8_t*) override {}
  void TextureDelete(uint32_t) override {}
  void SceneBegin(int, int, const uint8_t*) override {}
  void Clear(const D3DRECT&, const uint8_t*) override {}
  void Execute(const Direct3DProgram& program, const D3DVIEWPORT&) override {
    benchmark::DoNotOptimize(program.instructions.size());
  }
  void SceneEnd(uint8_t*) override {}

 private:
  uint32_t textures_ = 0;
};

void BM_ExecuteBufferEncoding1000Polygons(benchmark::State& state) {
  InstallBackend(std::make_unique<Idle3DDevice>());
  Scene();  // the demo textures, one of which the quads take
  TriangleBackEnd backEnd;
  std::string error;
  if (!backEnd.SetUp(640, 480, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Texture* texture = TextureListHead();
  BeginScene3D();
  for (auto _ : state) {
    for (int p = 0; p < 1000; ++p) {
      const float x = static_cast<float>((p * 7) % 300) * 65536.0f, y = static_cast<float>((p * 13) % 220) * 65536.0f;
      const float step = 16.0f * 65536.0f;
      PolyVertex quad[4] = {{x, y, 100, 0.01f, 0, 0, 0.5f, 1, 1, 1},
                            {x + step, y, 100, 0.01f, 1, 0, 0.5f, 1, 1, 1},
                            {x + step, y + step, 100, 0.01f, 1, 1, 0.5f, 1, 1, 1},
                            {x, y + step, 100, 0.01f, 0, 1, 0.5f, 1, 1, 1}};
      AddPolygon3D(4, quad, (p & 1) ? texture : nullptr, 0);
    }
    FlushPolygons3D();
  }
  EndScene3D();
  state.SetItemsProcessed(state.iterations() * 1000);
}

}  // namespace

BENCHMARK(BM_TriangleFrame640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExecuteBufferEncoding1000Polygons)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
