#pragma once
// The receiver's memory of guaranteed messages already delivered: a ring of
// the last 2048 keys (CRC-32 of the message XOR its sender's id). Each slot
// knows whether it holds a key, so that a key of 0 is a key like any other
// and never matches a slot that was never written.
#include <cstdint>

class NetDuplicateFilter {
 public:
  static constexpr int kSlots = 2048;
  // True when key was seen among the last kSlots keys; otherwise it is
  // remembered (the oldest key makes room) and false is returned.
  bool SeenBefore(uint32_t key);
  void Clear();

 private:
  uint32_t keys_[kSlots] = {};
  bool used_[kSlots] = {};
  int next_ = 0;
};
