#include "render/perspective_piece.h"

#include <algorithm>
#include <cassert>

#include "render/fixed_math.h"
#include "render/raster_state.h"

namespace {

// Entry x0 + i = z0 + i * dz of line, inside the z-buffer's own size.
void WritePieceDepth(int line, int x0, int x1, float q0, float qStepX) {
  if (line < 0 || line >= g_ZBufferHeight) return;
  const int end = std::min(x1, g_ZBufferWidth);
  std::uint32_t* row = g_ZBuffer + static_cast<std::ptrdiff_t>(line) * g_ZBufferWidth;
  std::uint32_t z = RoundToUint32Wrapped(static_cast<double>(q0) * kZScale);
  const std::uint32_t dz = RoundToUint32Wrapped(static_cast<double>(qStepX) * kZScale);
  for (int x = std::max(x0, 0); x < end; ++x) {
    row[x] = z + static_cast<std::uint32_t>(x - x0) * dz;
  }
}

}  // namespace

int RasterTextureEntry() {
  const int entry = TextureLevelEntry(g_Raster.log2Width, g_Raster.log2Height);
  assert(entry >= 0 && "texture size outside the span routine tables");
  if (entry < 0 || !g_Raster.pixels) return -1;
  return entry;
}

void DrawPerspectivePiece(int line, int x0, int x1, std::uint8_t* rowStart, int entry, const SpanRoutine* family) {
  RasterState& r = g_Raster;
  if (!r.prepared) {
    if (r.hook) r.hook();
    r.prepared = true;
  }
  const float dx = static_cast<float>(x0 - (r.width >> 1));
  const float dy = static_cast<float>(line - (r.height >> 1));
  float s = dx * r.s[kGradientStepX] + dy * r.s[kGradientStepY] + r.s[kGradientCentre];
  float t = dx * r.t[kGradientStepX] + dy * r.t[kGradientStepY] + r.t[kGradientCentre];
  float q = dx * r.q[kGradientStepX] + dy * r.q[kGradientStepY] + r.q[kGradientCentre];
  const float q0 = q;
  auto textureU = [&] { return RoundToInt32(static_cast<double>(s / q) + r.uOffset); };
  auto textureV = [&] { return RoundToInt32(static_cast<double>(t / q) + r.vOffsetNegated); };
  std::int32_t u = textureU();
  std::int32_t v = textureV();

  const int step = r.step;
  const float sStep = r.s[kGradientStepX] * r.stepFloat;
  const float tStep = r.t[kGradientStepX] * r.stepFloat;
  const float qStep = r.q[kGradientStepX] * r.stepFloat;
  int x = x0;
  int remaining = x1 - x0;
  while (remaining > 0) {
    const int m = std::min(r.affine ? remaining : std::min(step, remaining), kReciprocalCount);
    if (m == step) {
      s += sStep;
      t += tStep;
      q += qStep;
    } else {
      const float pixels = static_cast<float>(m);
      s += r.s[kGradientStepX] * pixels;
      t += r.t[kGradientStepX] * pixels;
      q += r.q[kGradientStepX] * pixels;
    }
    const std::int32_t uEnd = textureU();
    const std::int32_t vEnd = textureV();
    const std::int64_t uSpan = std::int64_t{uEnd} - u;
    const std::int64_t vSpan = std::int64_t{vEnd} - v;
    std::int32_t du;
    std::int32_t dv;
    if (m == step) {
      du = static_cast<std::int32_t>(uSpan >> r.stepLog2);
      dv = static_cast<std::int32_t>(vSpan >> r.stepLog2);
    } else {
      const double reciprocal = g_Reciprocal[m - 1];
      du = RoundToInt32(static_cast<double>(uSpan) * reciprocal);
      dv = RoundToInt32(static_cast<double>(vSpan) * reciprocal);
    }
    const SpanLevelChoice level = SpanSelectLevel(entry, r.pixels, u, v, du, dv);
    r.du = level.du;
    r.dv = level.dv;
    family[level.entry](rowStart + x, m, level.u, level.v, level.texels);
    x += m;
    remaining -= m;
    u = uEnd;
    v = vEnd;
  }
  if (g_ZBuffer) WritePieceDepth(line, x0, x1, q0, r.q[kGradientStepX]);
}
