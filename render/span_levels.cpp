// Texture level entries and the level selection of the span families.
#include <cassert>

#include "render/span_families.h"

namespace {

constexpr SpanLevelShape kLevels[kSpanEntryCount] = {
    {5, 5, 1024, 16}, {6, 5, 2048, 16}, {7, 5, 4096, 16}, {8, 5, 8192, 16},   // height 32
    {5, 6, 2048, 16}, {6, 6, 4096, 0},  {7, 6, 8192, 1},  {8, 6, 16384, 2},   // height 64
    {5, 7, 4096, 16}, {6, 7, 8192, 4},  {7, 7, 16384, 5}, {8, 7, 32768, 6},   // height 128
    {5, 8, 8192, 16}, {6, 8, 16384, 8}, {7, 8, 32768, 9}, {8, 8, 65536, 10},  // height 256
    {4, 4, 256, 17},  {3, 3, 64, 18},   {2, 2, 16, -1},   {1, 1, 4, -1},      // previews
    {0, 0, 1, -1},
};

// 2.0 texels per pixel or more in either direction.
constexpr bool StepTooLarge(std::int32_t step) { return step >= 0x20000 || step <= -0x20000; }

}  // namespace

SpanLevelShape SpanLevelShapeOf(int entry) {
  assert(entry >= 0 && entry < kSpanEntryCount);
  return kLevels[entry];
}

int TextureLevelEntry(int log2Width, int log2Height) {
  if (log2Width < kTextureMinLog2 || log2Width > kTextureMaxLog2) return -1;
  if (log2Height < kTextureMinLog2 || log2Height > kTextureMaxLog2) return -1;
  return (log2Height - kTextureMinLog2) * 4 + (log2Width - kTextureMinLog2);
}

SpanLevelChoice SpanSelectLevel(int entry, const std::uint8_t* pixels, std::int32_t u, std::int32_t v, std::int32_t du,
                                std::int32_t dv) {
  assert(entry >= 0 && entry < kSpanFullSizeEntryCount);
  SpanLevelChoice choice{entry, pixels, u, v, du, dv};
  while (StepTooLarge(choice.du) || StepTooLarge(choice.dv)) {
    const SpanLevelShape& level = kLevels[choice.entry];
    if (level.next < 0) break;
    choice.texels += level.bytes;
    if (level.next == kSpanPreviewEntry && choice.entry < kSpanPreviewEntry) {
      // Into the 16x16 preview: scale each axis down to 16 texels.
      const int shiftU = level.log2Width - 4;
      const int shiftV = level.log2Height - 4;
      choice.u >>= shiftU;
      choice.du >>= shiftU;
      choice.v >>= shiftV;
      choice.dv >>= shiftV;
    } else {
      choice.u >>= 1;
      choice.v >>= 1;
      choice.du >>= 1;
      choice.dv >>= 1;
    }
    choice.entry = level.next;
  }
  return choice;
}
