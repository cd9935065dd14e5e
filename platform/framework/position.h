#pragma once
// The collections' iteration handle: an opaque pointer to an element.
#include <cstdint>

struct CollectionPosition;
using POSITION = CollectionPosition*;

// The start handle a map hands out before the first element is found.
inline POSITION BeforeStartPosition() { return reinterpret_cast<POSITION>(static_cast<intptr_t>(-1)); }
#define BEFORE_START_POSITION (BeforeStartPosition())
