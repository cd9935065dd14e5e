#pragma once
// What the group modules share among themselves (not for callers).
#include "engine/records.h"

// A group about to be freed gets none of the mover-end callbacks that the
// running WorldUpdate still has to make.
void GroupForgetPendingCallbacks(const PolygonGroup* group);
