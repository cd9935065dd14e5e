#include "game/net_duplicate_filter.h"

bool NetDuplicateFilter::SeenBefore(uint32_t key) {
  for (int i = 0; i < kSlots; ++i) {
    if (used_[i] && keys_[i] == key) return true;
  }
  keys_[next_] = key;
  used_[next_] = true;
  next_ = (next_ + 1) % kSlots;
  return false;
}

void NetDuplicateFilter::Clear() {
  for (int i = 0; i < kSlots; ++i) {
    keys_[i] = 0;
    used_[i] = false;
  }
  next_ = 0;
}
