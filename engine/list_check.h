#pragma once
// Checks of intrusive lists read from a file: a list whose links disagree
// would loop or unlink the wrong record later, so readers check each list
// once it is read.

// 1 when following next from first reaches last after at most limit records,
// every record's prev is the one before it, first has no prev and last no
// next; an empty list (both null) is sound. T has prev and next members.
template <typename T>
int ListConsistent(const T* first, const T* last, int limit) {
  if (!first || !last) return !first && !last;
  if (first->prev || last->next) return 0;
  const T* previous = nullptr;
  int count = 0;
  for (const T* record = first; record; record = record->next) {
    if (++count > limit || record->prev != previous) return 0;
    previous = record;
  }
  return previous == last;
}
