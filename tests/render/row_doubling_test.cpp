#include "render/row_doubling.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(RowDoubling, EverySourcePixelBecomesATwoByTwoSquare) {
  for (int offset = 0; offset < 4; ++offset) {
    for (int width = 0; width <= 11; ++width) {
      const int pitch = 40;
      std::vector<std::uint8_t> source(16);
      for (int i = 0; i < 16; ++i) source[i] = static_cast<std::uint8_t>(i + 1);
      alignas(8) std::uint8_t block[3 * 40] = {};
      CopyRowDoubled(source.data(), width, block + offset, pitch);
      for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < pitch; ++x) {
          const int k = x - offset;
          const std::uint8_t expected = (row < 2 && k >= 0 && k < 2 * width) ? source[k / 2] : 0;
          ASSERT_EQ(block[row * pitch + x], expected)
              << "offset " << offset << " width " << width << " row " << row << " x " << x;
        }
      }
    }
  }
}

}  // namespace
