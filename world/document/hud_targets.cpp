// The HUD's target records and their map in the order the selection walks.
#include "world/document/hud_targets.h"

#include <algorithm>

#include "game/direct_player.h"

uint64_t PlayerTargetKey(const CDirectPlayer* player) {
  return player ? static_cast<uint64_t>(player->GetId()) << 32 : 0;
}

CHudTarget* HudTargetMap::Find(uint64_t key) const {
  for (const auto& record : buckets_[BucketOf(key)]) {
    if (record->GetKey() == key) return record.get();
  }
  return nullptr;
}

CHudTarget* HudTargetMap::Add(uint64_t key) {
  if (CHudTarget* found = Find(key)) return found;
  auto& bucket = buckets_[BucketOf(key)];
  bucket.insert(bucket.begin(), std::make_unique<CHudTarget>(key));
  return bucket.front().get();
}

bool HudTargetMap::Remove(uint64_t key) {
  auto& bucket = buckets_[BucketOf(key)];
  const auto at = std::find_if(bucket.begin(), bucket.end(), [key](const auto& r) { return r->GetKey() == key; });
  if (at == bucket.end()) return false;
  bucket.erase(at);
  return true;
}

void HudTargetMap::Clear() {
  for (auto& bucket : buckets_) bucket.clear();
}

int HudTargetMap::GetCount() const {
  size_t count = 0;
  for (const auto& bucket : buckets_) count += bucket.size();
  return static_cast<int>(count);
}

std::vector<uint64_t> HudTargetMap::Keys() const {
  std::vector<uint64_t> keys;
  for (const auto& bucket : buckets_) {
    for (const auto& record : bucket) keys.push_back(record->GetKey());
  }
  return keys;
}
