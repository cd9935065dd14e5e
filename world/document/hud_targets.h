#pragma once
// The head-up display's targets: what can be aimed at (other players'
// ships and enemies), keyed by one 64-bit value, and the lock timer of the
// selected one. A record holds only its key: whether its target still
// exists is asked of the player map and the enemy manager by that key, so
// nothing here can point at a freed ship or enemy.
#include <cstdint>
#include <memory>
#include <vector>

class CDirectPlayer;

// A player's target key: its DPID in the high half, 0 in the low half (an
// enemy's key always has a non-zero low half). 0 for no player.
uint64_t PlayerTargetKey(const CDirectPlayer* player);

// How long the selected target must stay selected before it is locked, and
// before its marker turns brighter (ms).
inline constexpr uint32_t kTargetLockMs = 500;
inline constexpr uint32_t kTargetLockNearMs = 300;

class CHudTarget {
 public:
  explicit CHudTarget(uint64_t key) : key_(key) {}
  uint64_t GetKey() const { return key_; }
  // The timer runs only while the target is the selected one; started, its
  // age is at least 1 ms.
  void StartLockTimer(uint32_t now) {
    if (lockStart_ == 0) lockStart_ = now - 1;
  }
  void ResetLockTimer() { lockStart_ = 0; }
  uint32_t GetLockAge(uint32_t now) const { return lockStart_ ? now - lockStart_ : 0; }
  bool IsLocked(uint32_t now) const { return GetLockAge(now) > kTargetLockMs; }
  bool IsLockNear(uint32_t now) const { return GetLockAge(now) > kTargetLockNearMs; }
  // Set once the lock has been announced with its sound.
  bool locked = false;

 private:
  uint64_t key_;
  uint32_t lockStart_ = 0;
};

// Key -> record, owning the records. Iteration visits 17 buckets in
// ascending order, bucket = (low half >> 4) mod 17 (so every player shares
// bucket 0), and within a bucket the most recently added key first; this
// order decides which target is selected first and which comes next.
class HudTargetMap {
 public:
  static constexpr int kBuckets = 17;
  static int BucketOf(uint64_t key) { return static_cast<int>((static_cast<uint32_t>(key) >> 4) % kBuckets); }

  CHudTarget* Find(uint64_t key) const;
  // The record of the key, made when new.
  CHudTarget* Add(uint64_t key);
  // Deletes the record; false when the key has none.
  bool Remove(uint64_t key);
  void Clear();
  int GetCount() const;
  bool IsEmpty() const { return GetCount() == 0; }
  // The keys in iteration order.
  std::vector<uint64_t> Keys() const;

 private:
  std::vector<std::unique_ptr<CHudTarget>> buckets_[kBuckets];
};
