#pragma once
// Level-group effects: what a polygon group of the level does through its
// properties. At level load the document reads them once into its records
// (hit points, buttons, hazard zones, arcs, attached lights) and installs
// its group callback; contact with the ship then raises events, presses
// buttons, heals or hurts; a missile's contact raises the missile event;
// every frame the buttons are released and the arcs discharged. The
// records are the document's and go with the level.
#include <cstdint>

#include "engine/records.h"

class CMapStringToPtr;
class CPtrList;

// The group properties any of which makes a group report its contacts to
// the document (a name with '_' and the same name without are one
// property).
inline constexpr int kGroupContactPropertyCount = 18;
extern const char* const g_GroupContactProperties[kGroupContactPropertyCount];

// Who runs the current sphere-collision test, for the group callback.
enum CollisionSourceKind : int {
  kCollisionSourceOther = 0,
  kCollisionSourceMissile = 1,
  kCollisionSourceShip = 3,  // the local player's ship
};
extern int g_CollisionSource;
// The strength of the blast whose contact test is running (code 4 dents
// the groups it touches with it).
extern float g_BlastStrength;
// The level's world while its group callbacks may run; null once the level
// is released (the callback then does nothing).
extern World* g_CallbackWorld;

// Holds g_CollisionSource for the queries of one scope and restores it.
class CollisionSourceScope {
 public:
  explicit CollisionSourceScope(int source) : saved_(g_CollisionSource) { g_CollisionSource = source; }
  ~CollisionSourceScope() { g_CollisionSource = saved_; }
  CollisionSourceScope(const CollisionSourceScope&) = delete;
  CollisionSourceScope& operator=(const CollisionSourceScope&) = delete;

 private:
  int saved_;
};

// A zone that hurts the ship near a group ("radioactivity").
struct HazardZone {
  float x, y, z;  // the group's centre at load
  float radius;
  int32_t lastTime;  // game ms
  PolygonGroup* group;
};

// An electric arc thrown between two groups ("arc_to").
struct GroupArc {
  PolygonGroup* source;
  PolygonGroup* target;
  float segmentLength;
  float damage;  // per second
  float radius;  // the ship within it of either group is struck
  float interval;  // seconds between discharges
  float viewRadiusSquared;  // works only while the ship is this near the source
  int32_t lastTime;  // game ms of the last discharge (may lie ahead: jitter)
};

// A button record's value (kept in the document's button map): bits 0-1 the
// pressed state (1 pressed), bits 2-5 the frames since the last contact.
inline constexpr uint32_t kButtonPressed = 1;
inline constexpr int kButtonReleaseFrames = 3;
inline bool ButtonIsPressed(uint32_t bits) { return (bits & 3) == kButtonPressed; }
inline uint32_t ButtonFrames(uint32_t bits) { return (bits >> 2) & 15; }
inline uint32_t ButtonWithFrames(uint32_t bits, uint32_t frames) { return (bits & ~60u) | ((frames & 15) << 2); }
// One frame of UpdateButtons for one record.
uint32_t ButtonAfterFrame(uint32_t bits);

// The hit points a group's properties give: "hitpoints" (a float), else 15 x
// "structural_hits", else 5 for "damaged" or "nuked"; -1 for none.
float GroupHitPoints(PolygonGroup* group);

// The records and lists the properties fill.
struct GroupEffectRecords {
  CMapStringToPtr* structural;  // group name -> DamageableGroup (new)
  CMapStringToPtr* buttons;     // group name -> button bits
  CPtrList* hazardZones;        // HazardZone (new)
  CPtrList* arcs;               // GroupArc (new)
  CPtrList* lights;             // AttachedLight (new)
};
// For every group in the world's order: the callback (when any effect
// property is present), the structural record, the button, the hazard zone,
// the arc and the light. now stamps the zones and arcs.
void ParseLevelGroups(World* world, int32_t now, const GroupEffectRecords& records);
// Deletes every record and empties the lists.
void FreeLevelGroupRecords(const GroupEffectRecords& records);

// One discharge of an arc: from, to, and whether it can strike (only the
// arcs that reach the ship collide).
struct ArcStrike {
  Vec3 from;
  Vec3 to;
  float damage;
  bool collide;
};
// One frame of one arc with the ship at ship: 0, 1 or 2 strikes written to
// out. Time differences are signed, so a next discharge that the jitter put
// ahead of now waits instead of firing at once. random gives 0..32767.
int StepGroupArc(GroupArc& arc, int32_t now, const Vec3& ship, int (*random)(), ArcStrike out[2]);

// The health a contact or a healing object gives over dt (capped at 200 ms)
// since the shared timer, which moves to now.
float ContactAmount(float perSecond, uint32_t& timer, int32_t now);

// Stored in an instance's callback field; WorldCollideSphere calls it with
// code 2 after pushing a sphere off the instance.
void InstanceCollisionCallback(Instance* instance, int code);
