#pragma once
// What the world modules share among themselves (not for callers).
#include "engine/records.h"

// The readers of the world member recurse through the links of its lists
// and trees. One guard on each reader's entry counts the nesting across
// all of them, so that a file nested deeper than any level fails instead of
// exhausting the stack.
class ReadNestingGuard {
 public:
  ReadNestingGuard();
  ~ReadNestingGuard();
  ReadNestingGuard(const ReadNestingGuard&) = delete;
  ReadNestingGuard& operator=(const ReadNestingGuard&) = delete;
  bool TooDeep() const;
};

// The reader for a record that must have been read before (the world, the
// groups named by polygons): a new one of that kind is refused there.
template <typename T>
int RefuseNewRecord(T*) {
  return 0;
}

// Reads a world body (the object graph's reader for the world record).
int WorldRead(World* world);
// After a successful WorldRead, with the object table still holding every
// record read: 1 when the world holds together (see world_check.cpp).
int WorldCheck(World* world);
// After a failed read or check, with the object table still holding every
// record read: frees every record of the table and every polygon linked to
// world (which may be null), each once, whatever state it was left in.
void WorldDiscardRead(World* world);
