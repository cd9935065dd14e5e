#include "render/raster_state.h"

#include <cstdlib>

RasterState g_Raster = [] {
  RasterState state{};
  state.stepLog2 = kPerspectiveStepLog2Initial;
  state.step = 1 << kPerspectiveStepLog2Initial;
  state.stepFloat = static_cast<float>(state.step);
  return state;
}();

std::uint32_t* g_ZBuffer = nullptr;
std::int32_t g_ZBufferWidth = 0;
std::int32_t g_ZBufferHeight = 0;

std::int32_t g_TranslucencyMode = 1;
std::uint8_t g_StippleParity = 0;
std::uint8_t g_BlendTable[kBlendTableBytes];
float g_Reciprocal[kReciprocalCount];

namespace {
// The single-span drawers can run before any reset (tests, tools): fill the
// table at start-up as well.
const bool g_ReciprocalFilledAtStart = (ReciprocalTableFill(), true);
}  // namespace

int ZBufferAllocate(int width, int height) {
  ZBufferRelease();
  constexpr int kLargest = 4096;
  if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) return 0;
  g_ZBuffer = static_cast<std::uint32_t*>(std::calloc(static_cast<std::size_t>(width) * height, sizeof(std::uint32_t)));
  if (!g_ZBuffer) return 0;
  g_ZBufferWidth = width;
  g_ZBufferHeight = height;
  return 1;
}

void ZBufferRelease() {
  std::free(g_ZBuffer);
  g_ZBuffer = nullptr;
  g_ZBufferWidth = 0;
  g_ZBufferHeight = 0;
}

void ReciprocalTableFill() {
  if (g_Reciprocal[0] != 0.0f) return;
  for (int k = 0; k < kReciprocalCount; ++k) g_Reciprocal[k] = 1.0f / static_cast<float>(k + 1);
}
