#include "render/row_doubling.h"

#include <cstring>

void CopyRowDoubled(std::uint8_t* source, int width, std::uint8_t* destination, int pitch) {
  std::uint8_t* upper = destination;
  std::uint8_t* lower = destination + pitch;
  int i = 0;
  if (width > 0 && (reinterpret_cast<std::uintptr_t>(upper) & 3u)) {
    upper[0] = upper[1] = lower[0] = lower[1] = source[0];
    i = 1;
  }
  // Four source pixels become eight bytes on each row.
  for (; i + 4 <= width; i += 4) {
    std::uint8_t eight[8];
    for (int k = 0; k < 4; ++k) eight[2 * k] = eight[2 * k + 1] = source[i + k];
    std::memcpy(upper + 2 * i, eight, 8);
    std::memcpy(lower + 2 * i, eight, 8);
  }
  for (; i < width; ++i) {
    upper[2 * i] = upper[2 * i + 1] = lower[2 * i] = lower[2 * i + 1] = source[i];
  }
}
