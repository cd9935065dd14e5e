#include "world/objects/target_locks.h"

#include <vector>

namespace {

// Program-wide: it outlives every object manager.
std::vector<uint64_t>& Locks() {
  static std::vector<uint64_t> locks;
  return locks;
}

}  // namespace

void AddTargetLock(uint64_t key) { Locks().push_back(key); }

bool IsTargetLocked(uint64_t key) {
  for (uint64_t held : Locks()) {
    if (held == key) return true;
  }
  return false;
}

void ClearTargetLocks() { Locks().clear(); }

int TargetLockCount() { return static_cast<int>(Locks().size()); }
