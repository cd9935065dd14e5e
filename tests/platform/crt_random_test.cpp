#include "platform/crt_random.h"

#include <gtest/gtest.h>

TEST(CrtRandom, SeedOneGivesTheRuntimeSequence) {
  CrtSrand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) EXPECT_EQ(CrtRand(), value);
}

TEST(CrtRandom, ReseedingRepeatsTheSequenceAndStaysInRange) {
  CrtSrand(12345);
  int first[100];
  for (int& value : first) {
    value = CrtRand();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, kCrtRandMax);
  }
  CrtSrand(12345);
  for (int value : first) EXPECT_EQ(CrtRand(), value);
}
