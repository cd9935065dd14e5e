#pragma once
// Showing and hiding a level group for the level script: the group and its
// child groups change together, only when the group's visibility differs.
// In a network game the changed state goes to the other players as a group
// state message (the network layer's part). A debug line names each change.
#include "engine/records.h"

// True when the group's state changed; false for null or an unchanged group.
bool SetObjectActive(PolygonGroup* group, bool show);
