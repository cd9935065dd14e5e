#pragma once
// What the group modules share among themselves (not for callers).
#include "engine/records.h"

// Sets m to the identity.
// A group about to be freed gets none of the mover-end callbacks that the
// running WorldUpdate still has to make.
void GroupForgetPendingCallbacks(const PolygonGroup* group);
