// The eight span families. Each routine is a template on the level's base-2
// width A and height B, so that shifts and masks are constants of the loop.
//
// u and v travel together in one 64-bit accumulator that a single add per
// pixel advances:
//   high 32 bits: u << (16 - A) (u's integer part in the top A bits, its
//                 fraction below), v's integer part (B bits) in the lowest
//                 bits;
//   low 32 bits:  v's fraction in the top 16 bits (the low 16 are unused).
// The steps are packed the same way, so v's fraction carries into v's integer
// part. A carry out of v's integer part runs into the free bits between v and
// u; a 256x256 level has none, so there it reaches u's lowest fraction bit.
// That is how the game's texture mapping has always behaved; keep it.
// The texel offset is the high half rotated left by A (v's integer part above
// u's), masked to the level's size.
#include "render/span_families.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/palette.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

namespace {

template <int A, int B>
struct Packed {
  static constexpr std::uint32_t kVMask = (1u << B) - 1;
  static constexpr std::uint32_t kTexelMask = (1u << (A + B)) - 1;

  static std::uint64_t Pack(std::int32_t u, std::int32_t v) {
    const std::uint32_t high =
        (static_cast<std::uint32_t>(u) << (16 - A)) + ((static_cast<std::uint32_t>(v) >> 16) & kVMask);
    const std::uint32_t low = static_cast<std::uint32_t>(v) << 16;
    return (std::uint64_t{high} << 32) | low;
  }
  static std::uint32_t Offset(std::uint64_t accumulator) {
    return std::rotl(static_cast<std::uint32_t>(accumulator >> 32), A) & kTexelMask;
  }
};

inline const std::uint8_t* ShadeRow(std::uint32_t level) { return g_pShadeTable + (((level >> 16) & 31u) << 8); }

// Column parity of a destination pixel: from the span's row start when a
// single-span drawer set one, else the address (even pitch, even first row).
inline std::uint32_t ColumnParity(const std::uint8_t* destination) {
  if (g_Raster.spanRowStart) return static_cast<std::uint32_t>(destination - g_Raster.spanRowStart) & 1u;
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(destination)) & 1u;
}

// C, D and E: one pixel to reach an even address, then four at a time as one
// aligned store, then the rest. Texel is the texel, or its shade.
template <int A, int B, typename Pixel>
inline void WriteRun(std::uint8_t* d, int n, std::uint64_t acc, std::uint64_t step, const std::uint8_t* texels,
                     Pixel pixel) {
  using P = Packed<A, B>;
  if (n > 0 && (reinterpret_cast<std::uintptr_t>(d) & 1u)) {
    *d++ = pixel(texels[P::Offset(acc)]);
    acc += step;
    --n;
  }
  while (n >= 4) {
    std::uint8_t quad[4];
    quad[0] = pixel(texels[P::Offset(acc)]);
    acc += step;
    quad[1] = pixel(texels[P::Offset(acc)]);
    acc += step;
    quad[2] = pixel(texels[P::Offset(acc)]);
    acc += step;
    quad[3] = pixel(texels[P::Offset(acc)]);
    acc += step;
    std::memcpy(d, quad, 4);
    d += 4;
    n -= 4;
  }
  while (n > 0) {
    *d++ = pixel(texels[P::Offset(acc)]);
    acc += step;
    --n;
  }
}

template <int A, int B>
void SpanTexRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  WriteRun<A, B>(d, n, P::Pack(u, v), P::Pack(g_Raster.du, g_Raster.dv), texels,
                 [](std::uint8_t texel) { return texel; });
}

template <int A, int B>
void SpanTexGouraudRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  std::uint32_t level = static_cast<std::uint32_t>(g_Raster.light);
  const std::uint32_t levelStep = static_cast<std::uint32_t>(g_Raster.lightStep);
  const std::uint8_t* shade = g_pShadeTable;
  WriteRun<A, B>(d, n, P::Pack(u, v), P::Pack(g_Raster.du, g_Raster.dv), texels, [&](std::uint8_t texel) {
    const std::uint8_t pixel = shade[(((level >> 16) & 31u) << 8) + texel];
    level += levelStep;
    return pixel;
  });
  g_Raster.light = static_cast<std::int32_t>(level);
}

template <int A, int B>
void SpanTexLitRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  const std::uint8_t* row = ShadeRow(static_cast<std::uint32_t>(g_Raster.light));
  WriteRun<A, B>(d, n, P::Pack(u, v), P::Pack(g_Raster.du, g_Raster.dv), texels,
                 [row](std::uint8_t texel) { return row[texel]; });
}

template <int A, int B>
void SpanTexKeyRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  std::uint64_t acc = P::Pack(u, v);
  const std::uint64_t step = P::Pack(g_Raster.du, g_Raster.dv);
  for (int i = 0; i < n; ++i) {
    const std::uint8_t texel = texels[P::Offset(acc)];
    acc += step;
    if (texel != kTransparentIndex) d[i] = texel;
  }
}

// G and H. Blend: the target pixel picks the row, the texel the column.
// Stipple: only pixels where column parity ^ row parity ^ frame parity is 1
// are written, so the loop starts at the first such pixel and steps by two.
template <int A, int B, bool kKeyed>
void TranslucentRun(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  std::uint64_t acc = P::Pack(u, v);
  const std::uint64_t step = P::Pack(g_Raster.du, g_Raster.dv);
  if (g_TranslucencyMode & 1) {
    const std::uint8_t* blend = g_BlendTable;
    for (int i = 0; i < n; ++i) {
      const std::uint8_t texel = texels[P::Offset(acc)];
      acc += step;
      if (kKeyed && texel == kTransparentIndex) continue;
      d[i] = blend[(static_cast<std::uint32_t>(d[i]) << 8) + texel];
    }
    return;
  }
  const std::uint32_t parity = ColumnParity(d) ^ static_cast<std::uint32_t>(g_Raster.rowParity & 1) ^
                               static_cast<std::uint32_t>(g_StippleParity & 1u);
  int i = parity ? 0 : 1;
  if (i) acc += step;
  const std::uint64_t doubleStep = step * 2;
  for (; i < n; i += 2) {
    const std::uint8_t texel = texels[P::Offset(acc)];
    acc += doubleStep;
    if (kKeyed && texel == kTransparentIndex) continue;
    d[i] = texel;
  }
}

template <int A, int B>
void SpanTexTranslucentRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  TranslucentRun<A, B, false>(d, n, u, v, texels);
}

template <int A, int B>
void SpanTexKeyTranslucentRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  TranslucentRun<A, B, true>(d, n, u, v, texels);
}

// A and B: one pixel at a time; written (with its z) when z >= the entry.
// Masking the high half to u's and v's integer bits before the rotate gives
// the same offset as masking after it.
template <int A, int B, bool kLit>
void ZRun(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  using P = Packed<A, B>;
  g_PixelsDrawn += static_cast<std::uint32_t>(n);
  std::uint64_t acc = P::Pack(u, v);
  const std::uint64_t step = P::Pack(g_Raster.du, g_Raster.dv);
  std::uint32_t* zRow = g_Raster.zRow;
  std::uint32_t z = g_Raster.z;
  const std::uint32_t zStep = g_Raster.zStep;
  std::uint32_t level = static_cast<std::uint32_t>(g_Raster.light);
  const std::uint32_t levelStep = static_cast<std::uint32_t>(g_Raster.lightStep);
  const std::uint8_t* shade = g_pShadeTable;
  for (int i = 0; i < n; ++i) {
    if (z >= zRow[i]) {
      const std::uint8_t texel = texels[P::Offset(acc)];
      d[i] = kLit ? shade[(((level >> 16) & 31u) << 8) + texel] : texel;
      zRow[i] = z;
    }
    z += zStep;
    acc += step;
    if (kLit) level += levelStep;
  }
}

template <int A, int B>
void SpanTexZRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  ZRun<A, B, false>(d, n, u, v, texels);
}

template <int A, int B>
void SpanTexGouraudZRoutine(std::uint8_t* d, int n, std::int32_t u, std::int32_t v, const std::uint8_t* texels) {
  ZRun<A, B, true>(d, n, u, v, texels);
}

}  // namespace

// Entry order: 0..15 by (height, width) from 32 to 256, then the previews.
#define KORVANE_FULL_SIZE_ENTRIES(R)                                                                                   \
  R<5, 5>, R<6, 5>, R<7, 5>, R<8, 5>, R<5, 6>, R<6, 6>, R<7, 6>, R<8, 6>, R<5, 7>, R<6, 7>, R<7, 7>, R<8, 7>, R<5, 8>, \
      R<6, 8>, R<7, 8>, R<8, 8>
#define KORVANE_ALL_ENTRIES(R) KORVANE_FULL_SIZE_ENTRIES(R), R<4, 4>, R<3, 3>, R<2, 2>, R<1, 1>, R<0, 0>

const SpanRoutine SpanTexZ[kSpanFullSizeEntryCount] = {KORVANE_FULL_SIZE_ENTRIES(SpanTexZRoutine)};
const SpanRoutine SpanTexGouraudZ[kSpanFullSizeEntryCount] = {KORVANE_FULL_SIZE_ENTRIES(SpanTexGouraudZRoutine)};
const SpanRoutine SpanTex[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexRoutine)};
const SpanRoutine SpanTexGouraud[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexGouraudRoutine)};
const SpanRoutine SpanTexLit[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexLitRoutine)};
const SpanRoutine SpanTexKey[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexKeyRoutine)};
const SpanRoutine SpanTexTranslucent[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexTranslucentRoutine)};
const SpanRoutine SpanTexKeyTranslucent[kSpanEntryCount] = {KORVANE_ALL_ENTRIES(SpanTexKeyTranslucentRoutine)};

#undef KORVANE_ALL_ENTRIES
#undef KORVANE_FULL_SIZE_ENTRIES
