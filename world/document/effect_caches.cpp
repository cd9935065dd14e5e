// The document's effect caches: the texture frame sequences of animated
// effects, found by name prefix once, and the centres of debris part models.
// Both point into the level and go with it.
#include <cstdlib>
#include <cstring>

#include "engine/model.h"
#include "engine/texture.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "platform/ascii.h"

namespace {

struct FrameSequence {
  int count;
  Texture* frames[31];
};

// The debris-part centres share the frame cache's lifetime.
struct DebrisCentre {
  float x, y, z;
};

template <class Record>
void FreeRecords(CMapStringToPtr& map) {
  for (POSITION at = map.GetStartPosition(); at;) {
    CString key;
    void* record = nullptr;
    map.GetNextAssoc(at, key, record);
    delete static_cast<Record*>(record);
  }
  map.RemoveAll();
}

}  // namespace

bool CNetDoc::FindFrameSequence(const CString& prefix, Texture* frames[31], int* count) {
  void* cached = nullptr;
  if (frameSequences_.Lookup(prefix, cached)) {
    const auto* sequence = static_cast<FrameSequence*>(cached);
    *count = sequence->count;
    for (int i = 0; i < sequence->count; ++i) frames[i] = sequence->frames[i];
    return true;
  }
  *count = 0;
  Texture* found[31] = {};
  const size_t length = std::strlen(prefix);
  for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
    if (!texture->name || std::strlen(texture->name) < length) continue;
    if (AsciiCompareNoCaseN(texture->name, prefix, length) != 0) continue;
    // atoi of a remainder that is no number gives index 0.
    const int index = std::atoi(texture->name + length);
    if (index < 0 || index > 30) continue;
    found[index] = texture;
    if (index + 1 > *count) *count = index + 1;
  }
  if (*count == 0) return false;
  // A missing number shows the frame after it.
  for (int i = *count - 2; i >= 1; --i) {
    if (!found[i]) found[i] = found[i + 1];
  }
  // A set numbered from 1 starts at index 0.
  if (!found[0]) {
    for (int j = 0; j < *count - 1; ++j) found[j] = found[j + 1];
    found[*count - 1] = nullptr;
    --*count;
  }
  auto* sequence = new FrameSequence{*count, {}};
  for (int i = 0; i < *count; ++i) sequence->frames[i] = frames[i] = found[i];
  frameSequences_.SetAt(prefix, sequence);
  return true;
}

void CNetDoc::LoadFrameSequence(const CString& prefix, Texture* frames[31], int* count) {
  if (!FindFrameSequence(prefix, frames, count)) CGameApp::FatalError("NetDoc1", 92);
}

bool CNetDoc::GetDebrisPart(const char* partName, float* x, float* y, float* z) const {
  CString key(partName);
  key.MakeUpper();
  void* found = nullptr;
  if (!debrisParts_.Lookup(key, found)) return false;
  const auto* centre = static_cast<const DebrisCentre*>(found);
  *x = centre->x;
  *y = centre->y;
  *z = centre->z;
  return true;
}

void CNetDoc::CacheDebrisPart(const char* partName, Model* part) {
  CString key(partName);
  key.MakeUpper();
  void* found = nullptr;
  if (!part || debrisParts_.Lookup(key, found)) return;
  auto* centre = new DebrisCentre{0.0f, 0.0f, 0.0f};
  InstanceCentroid(part, &centre->x, &centre->y, &centre->z, 0);
  debrisParts_.SetAt(key, centre);
}

void CNetDoc::ReleaseEffectCaches() {
  FreeRecords<FrameSequence>(frameSequences_);
  FreeRecords<DebrisCentre>(debrisParts_);
}
