#pragma once
// Collision: the queries that move ships, missiles, enemies and pick-ups
// through a level. A sphere is pushed out of the world's polygons (walking
// the BSP by plane distance) and out of instance spheres; a segment is tested
// for a clear line of sight, or cast to its nearest hit. The sphere queries
// also drive the level logic: trigger polygons (flag 0x80) and the polygons
// of any group with a callback report contacts to their group, and pushed
// instances report to their own callback.
//
// Which rules the code follows where the world simulation's description of
// these services differs:
// - `CollideSetMode` governs WorldCollideSphere only (its BSP walk and its
//   instance pass). WorldSphereTouch ignores it, and segment casts never
//   look at it: whether a cast meets instances is `CollideSetInstanceChecks`.
// - `CollideRay` turns instance checks on for the cast and leaves them OFF
//   afterwards, whatever they were before.
//
// Space: the sphere queries work with the vertical axis scaled by
// g_CollideVerticalScale (the centre's y and every vertex's y multiplied by
// it), so that the sphere is really an ellipsoid with a vertical half-axis
// of radius / scale. The instance pass and the segment casts are unscaled.
//
// Which polygons take part: flag 0x10 (kPolygonNoCollide) polygons in no
// query; trigger polygons (0x80) only report, in sphere queries, and are
// passed through by casts; sphere queries and casts meet only fragments of
// more than 2 vertices (lines never collide). Only the front face of a
// polygon collides: a sphere centre behind it is not pushed, a segment
// leaving it from behind is not stopped.
//
// Callbacks are deferred. A query first finishes its walk of the BSP and of
// the instance list, writes the moved centre back, and only then makes the
// group calls (codes 2, 3, 4) and instance calls (code 2) it collected, in
// the order of the contacts. A callback may therefore do anything to the
// world: create or delete polygons, groups or instances, move or hide
// groups, run further queries. A call still pending for a group or instance
// that an earlier callback of the same query deleted is dropped (the
// record's membership of the world's list is checked before each call after
// the first). A callback must not free the world itself.
#include "engine/records.h"

// Query settings, kept between queries. Callers store their own vertical
// scale before each sphere query (the ship, objects and the document use
// different ones).
extern float g_CollideVerticalScale;  // initially 0.25; must be > 0
extern int g_CollidePushOut;          // 1 (initially): push out, code 2; 0: touch only, code 4
extern int g_CollideMode;             // 0 world and instances, 1 world only, 2 instances only

inline constexpr int kCollideWorldAndInstances = 0;
inline constexpr int kCollideWorldOnly = 1;
inline constexpr int kCollideInstancesOnly = 2;

// Results of WorldCollideSphere.
inline constexpr int kCollideNothing = 0;
inline constexpr int kCollidePolygon = 1;   // touched or pushed by a polygon
inline constexpr int kCollideInstance = 2;  // pushed by an instance sphere

// Results of CollideRay.
inline constexpr int kRayPolygon = 0;
inline constexpr int kRayInstance = 1;
inline constexpr int kRayNothing = -1;

// A sphere centre closer than this to an instance's centre is not pushed
// (there is no direction to push it in).
inline constexpr float kCollideInstanceMinDistanceSquared = 0.00001f;
// How far beyond the radius a polygon pushes a sphere.
inline constexpr float kCollidePushMargin = 0.0001f;
// How far outside a node's box a segment's crossing point still counts.
inline constexpr float kCollideNodeBoxSlack = 0.1f;

// Sets g_CollideMode; a value other than 0, 1 or 2 is ignored.
void CollideSetMode(int mode);
// The instance that instance tests skip (the mover itself), null for none.
// Returns it.
Instance* CollideSetIgnore(Instance* instance);
// The instance being ignored, null when none.
Instance* CollideIgnored();
// 1: CollideSegment also meets instance spheres. Stays as set (CollideRay
// turns it off). Returns the value given.
int CollideSetInstanceChecks(int on);
// Whether casts meet instance spheres now (what CollideSetInstanceChecks
// last set).
int CollideInstanceChecks();
// The world polygon that the last sphere query or cast hit last (for a cast,
// the polygon at the nearest hit), null when none. Cleared at the start of
// every sphere query and cast, and when that polygon is deleted.
WorldPolygon* CollideLastHit();

// Pushes the sphere (centre in place, radius) out of what it overlaps.
// Takes a new frame stamp and clears the last hit. Modes 0 and 1: two walks
// of the BSP in the scaled space, faces first, then edges; a face or edge
// that the centre lies in front of and within the radius of moves the centre
// out by radius - distance + 0.0001 along the face normal or away from the
// edge (with push-out off nothing moves), becomes the last hit and reports
// to its group (code 2, or 4 with push-out off); a trigger polygon reports
// code 3 and moves nothing. Modes 0 and 2: then each collidable instance of
// radius > 0 other than the ignored one, in list order, pushes the centre to
// exactly the sum of the radii from its position (mapped by its parent
// group's world matrix) and reports code 2 to its callback. Each group is
// called at most once per query.
// Returns 0 nothing, 1 a polygon touched or pushed the sphere (with push-out
// off: a group callback was made), 2 an instance pushed it.
// A vertical scale of 0 or below (or not finite) is refused: asserted in
// debug builds, and in every build the query returns 0 and moves nothing.
int WorldCollideSphere(World* world, float* x, float* y, float* z, float radius);

// The BSP walks of WorldCollideSphere on a copy of the centre with push-out
// off (code 4, nothing moves), no instance pass, whatever the mode.
// g_CollidePushOut is 1 afterwards. 1 when a group callback with code 4 was
// made, else 0. Refuses a bad vertical scale as WorldCollideSphere does.
int WorldSphereTouch(World* world, float x, float y, float z, float radius);

// 1 when the segment passes through the front face of a polygon (triggers
// and flag 0x10 polygons do not block), else 0: callers read 0 as a clear
// line of sight. Instances never block. Unscaled.
int WorldSegmentBlocked(World* world, float x0, float y0, float z0, float x1, float y1, float z1);

// Casts the segment from (x0, y0, z0) to the end: 1 when it hits something,
// with the end moved to the NEAREST hit along it; 0 with the end unchanged.
// Polygons are met on their front face; with instance checks on, so are the
// instance spheres sorted into the BSP (radius > 0, collidable, not the
// ignored one; one sphere of the instance's radius around each of its nodes'
// world pivots): a start inside such a sphere hits at the start. A
// zero-length segment (end exactly equal to the start) is a hit in any world
// with a BSP, naming no polygon and no instance: callers take an object that
// did not move as blocked. The last hit is the polygon at the nearest hit,
// null when that is an instance or the segment has no length.
int CollideSegment(World* world, float x0, float y0, float z0, float* x1, float* y1, float* z1);

// CollideSegment with instance checks on (off again afterwards). 0: the
// nearest hit is a polygon (*polygon set); 1: it is an instance sphere
// (*instance set); -1: nothing, also for a zero-length ray, which names
// neither. (hx, hy, hz) is the hit point, or the end when nothing was hit.
// The output not set is null; any output may be null.
int CollideRay(World* world, float* hx, float* hy, float* hz, WorldPolygon** polygon, Instance** instance, float x0,
               float y0, float z0, float x1, float y1, float z1);

// Forget a record that is being deleted, so that the last hit and the
// ignored instance never name a freed record. PolygonDelete and
// InstanceDelete call them.
void CollideForgetPolygon(WorldPolygon* polygon);
void CollideForgetInstance(Instance* instance);
