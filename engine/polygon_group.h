#pragma once
// Polygon groups: named sets of world polygons that move together (doors,
// lifts, platforms, fans). Groups form a hierarchy (a child moves with its
// parent), can be hidden (their polygons leave the BSP and so drawing and
// collision), and may carry a mover: a slide along a vector or a rotation
// about an axis through a pivot, driven by a position 0..1 and a speed in
// position units per second.
//
// A group that changed is only marked invalid; WorldRebuildGroups (every
// rendered frame, or the level script after it moved groups) computes its
// matrices and puts its polygons back into the BSP.
//
// Every operation takes the group first and does nothing for a null group
// (answering 0 or null) unless it says otherwise.
#include "engine/records.h"

class ObjBody;  // a record reader (engine/object_graph.h)

// When the group differs: the polygon leaves its old group's table (that
// table's last polygon takes its slot and index) and is appended to the new
// one's (grown by 10 when full); null leaves it ungrouped. With reinsert, its
// world plane is recomputed and it is inserted into the world's BSP again.
// 0 for a null polygon, else 1.
int PolygonSetGroup(WorldPolygon* polygon, PolygonGroup* group, int reinsert);

// A visible group named name (a pool copy) with identity matrices, no mover
// and no polygons, at the end of the world's list and, with a parent, of the
// parent's children; invalid, so the next rebuild places it. The level's
// groups come from the world member; the data builder and tools make theirs
// here. Null for a null world or name.
PolygonGroup* GroupCreate(World* world, const char* name, PolygonGroup* parent);

// ---------------------------------------------------------------------------
// Finding and walking
// ---------------------------------------------------------------------------

// The first group of the world whose name equals name exactly (case matters).
PolygonGroup* GroupFindByName(World* world, const char* name);
PolygonGroup* GroupFirst(World* world);
PolygonGroup* GroupNext(PolygonGroup* group);
// The group's polygons in table order.
WorldPolygon* GroupFirstPolygon(PolygonGroup* group);
// Null for null. A grouped polygon: the next of its group's table (null after
// the last). An ungrouped one: the next polygon of the world's list.
WorldPolygon* GroupNextPolygon(WorldPolygon* polygon);

// ---------------------------------------------------------------------------
// Callback
// ---------------------------------------------------------------------------

// The group's notification (GroupCallback, codes kGroupMoverEnded ..
// kGroupTouched in engine/records.h).
//
// Code 1 comes from WorldUpdate after every mover of that update has moved,
// so a callback may start or stop any mover, hide or show groups and delete
// any group, this one included: the update has finished its walk of the
// running movers, and a group deleted by one callback gets no later one.
// Codes 2 to 4 come from the sphere queries, at most once per group per
// query (callbackStamp), and only after the query's walk is over
// (engine/collision.h), so they may change the world just as freely.
void GroupSetCallback(PolygonGroup* group, GroupCallback callback);

// ---------------------------------------------------------------------------
// Movers
// ---------------------------------------------------------------------------

// Stops a running mover; the group gets a stopped slide by (dx, dy, dz) at
// position 1, with the speed and position; invalidated.
void GroupSetSlideMover(PolygonGroup* group, float dx, float dy, float dz, float speed, float position);
// Stops a running mover; the group gets a stopped rotation about the axis
// through the pivot by angle at position 1 (0 = a full turn per unit of
// position, which wraps instead of ending); invalidated.
void GroupSetRotateMover(PolygonGroup* group, float px, float py, float pz, float ax, float ay, float az, float angle,
                         float speed, float position);
// A stopped mover starts: pushed at the head of the world's running list.
void GroupStartMover(PolygonGroup* group);
// A running mover stops: off the running list.
void GroupStopMover(PolygonGroup* group);
// 0 without a mover; else sets position and speed, invalidates, stops a
// running mover and returns 1.
int GroupSetMoverState(PolygonGroup* group, float position, float speed);
// 0 without a mover; else writes each non-null output and returns 1.
int GroupGetMoverState(PolygonGroup* group, float* position, float* speed);
// 1 while the mover runs.
int GroupIsMoving(PolygonGroup* group);

// The mover part of WorldUpdate: every running mover advances by seconds x
// speed; a full-turn rotation wraps, any other mover is clamped to 0..1 and
// stops at the end it runs toward, its callback then called with code 1
// (after all movers have moved). Nothing for seconds <= 0 or a null world.
void WorldUpdateMovers(World* world, float seconds);

// ---------------------------------------------------------------------------
// Visibility and hierarchy
// ---------------------------------------------------------------------------

// Only a visible group: hidden and invalidated; with recursive, every child
// group (all the way down) the same way.
void GroupHide(PolygonGroup* group, int recursive);
// Only a hidden group: shown and invalidated; with recursive, every child.
void GroupShow(PolygonGroup* group, int recursive);
int GroupIsVisible(PolygonGroup* group);

// Re-parents the group (null parent: a top-level group). keep 0: its base
// matrix becomes the identity. keep 1: the group keeps its place in the
// world: since the rebuild makes world = base x mover x parent's world, the
// base matrix becomes world x inverse(mover x parent's world), or
// world x inverse(mover) without a parent. A changed parent moves it to the
// end of the new parent's children. Invalidated.
// Refused (nothing changes) when parent is the group itself or one of its
// descendants: the hierarchy must stay a tree.
void GroupSetParent(PolygonGroup* group, PolygonGroup* parent, int keep);

// Frees the group: its property list; its polygons become ungrouped, get
// their world plane back and go into the BSP again; its children are detached
// (GroupSetParent(child, null, 0)) and so is the group; a running mover is
// stopped; it leaves the world's list; table, name and record are freed.
void GroupDelete(PolygonGroup* group);

// Only a valid group: invalid, the world's allClean cleared, and each child
// group the same way.
void GroupInvalidate(PolygonGroup* group);

// Rebuilds every invalid group: first the fragments of all their polygons
// are freed (pruning emptied BSP nodes); then from each invalid group's
// highest invalid ancestor: mover matrix, world matrix (base x mover x
// parent's world), world centre, world planes and BSP insertion, children in
// sibling order; allClean = 1. Nothing for a null world.
void WorldRebuildGroups(World* world);

// ---------------------------------------------------------------------------
// Centre and size
// ---------------------------------------------------------------------------

// worldCentre (moves with the mover after each rebuild).
void GroupGetCentre(PolygonGroup* group, float* x, float* y, float* z);
// Mean of every vertex (group coordinates) of its polygons with more than 2
// vertices; (0, 0, 0) when there are none.
void GroupComputeCentre(PolygonGroup* group, float* x, float* y, float* z);
// Recomputes and stores radius: half the diagonal of the bounding box of all
// vertices of its polygons (0 when it has none), at least each child's radius.
float GroupRadius(PolygonGroup* group);
// The load-time centre: the running mean, over the table in order, of one
// value per polygon (the mean of its vertices with more than 2 of them, else
// the previous polygon's value, (0, 0, 0) for the first). Stored in
// localCentre.
void GroupComputeLocalCentre(PolygonGroup* group);

// ---------------------------------------------------------------------------
// Stored form (inside the world member's object graph)
// ---------------------------------------------------------------------------

// Reads a group body: property list; name; references world, prev, next,
// parent, prevSibling, nextSibling, firstChild, lastChild, prevMover,
// nextMover; i32 moverType; floats speed, position; axis; pivot; angle;
// 16 floats moverMatrix; 16 floats worldMatrix; i32 visible. Afterwards the
// base matrix is the identity, the table empty, valid 0, no callback. A
// mover type outside -2..2 fails the read.
ObjBody GroupRead(PolygonGroup* group);
// The deepest group hierarchy a world member may hold (groups in a chain of
// parents): invalidation and rebuilds walk it by recursion.
inline constexpr int kGroupMaxLoadedDepth = 1000;
