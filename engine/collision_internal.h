#pragma once
// State shared by the sphere queries and the segment casts.
#include <vector>

#include "engine/records.h"

namespace collide {

// The polygon hit last by the current or last query; null when none.
extern WorldPolygon* g_LastHit;
// The instance skipped by instance tests (compared, never read).
extern Instance* g_Ignore;
// 1: CollideSegment meets instance spheres.
extern int g_InstanceChecks;

// A sequence that keeps its first N items in itself and only the rest on
// the heap, so that small walks and queries allocate nothing.
template <typename T, int N>
class SmallList {
 public:
  void Push(T item) {
    if (count_ < N) {
      inline_[count_] = item;
    } else {
      more_.push_back(item);
    }
    ++count_;
  }
  // Takes the last item off; false when empty.
  bool Pop(T* item) {
    if (count_ == 0) return false;
    --count_;
    if (count_ < N) {
      *item = inline_[count_];
    } else {
      *item = more_.back();
      more_.pop_back();
    }
    return true;
  }
  int Count() const { return count_; }
  const T& At(int i) const { return i < N ? inline_[i] : more_[i - N]; }

 private:
  T inline_[N];
  std::vector<T> more_;
  int count_ = 0;
};

// A stack of pending work for the BSP walks: a tree built at run time may
// be far deeper than recursion should go. Small walks stay on the C stack.
template <typename T>
using SmallStack = SmallList<T, 64>;

// The callbacks one sphere query owes, made only after its walk is over so
// that a callback can change the world freely (see engine/collision.h).
class PendingCalls {
 public:
  void AddGroup(PolygonGroup* group, int code) { calls_.Push({group, nullptr, code}); }
  void AddInstance(Instance* instance, int code) { calls_.Push({nullptr, instance, code}); }
  // Makes the calls in order. From the second call on, a group or instance
  // that is no longer on the world's list (an earlier callback deleted it)
  // is skipped, and each callback is read from its record when it is made.
  void Run(World* world);

 private:
  struct Call {
    PolygonGroup* group;
    Instance* instance;
    int code;
  };
  SmallList<Call, 8> calls_;
};

}  // namespace collide
