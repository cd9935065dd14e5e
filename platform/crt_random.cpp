#include "platform/crt_random.h"

#include <cstdint>

namespace {
// Only the game's main thread draws numbers, as in the original.
uint32_t g_crtRandState = 1;
}  // namespace

void CrtSrand(unsigned int seed) { g_crtRandState = seed; }

int CrtRand() {
  g_crtRandState = g_crtRandState * 214013u + 2531011u;
  return static_cast<int>((g_crtRandState >> 16) & 0x7FFF);
}
