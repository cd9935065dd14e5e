#pragma once
// One enemy of the level: a turret, vehicle, drone, ship, sentry or boss
// part, wrapped round the engine instance that shows it (owned: deleted with
// the enemy). The enemy manager (world/enemies/enemy_manager.h) creates,
// owns and deletes every enemy; the enemy itself moves, turns its turret and
// gun parts and keeps the state its decisions, weapons and orders use.
//
// Enemies name each other by their 64-bit id (the creating player's id in
// the high half, an object id in the low half), never by a kept pointer: a
// link is followed only when the manager still holds an enemy with that id.
//
// Files: new_enemy.cpp (construction, destruction, accessors),
// enemy_motion.cpp (movement), enemy_parts.cpp (model parts, aiming, the
// body matrix), enemy_saved_state.cpp (the saved record),
// enemy_damage.cpp (damage shares), enemy_manoeuvre.cpp (clearance and the
// waypoint list).
//
// Game thread only. Angles are radians wrapped into [-pi, pi]; +y is down.
#include <cstdint>
#include <string>

#include "engine/records.h"
#include "platform/framework/runtime_class.h"
#include "world/enemies/enemy_types.h"

class CArchive;
class CNewPath;
class CPathNode;

inline constexpr int kEnemyNameBytes = 64;  // "fear" and "escort" texts
inline constexpr int kEnemyTrailPoints = 10;
inline constexpr int kEnemyWaypoints = 5;
inline constexpr int kEnemyDroneSlots = 3;
// Every angle of the enemy turns on this pi (the single-precision value).
inline constexpr float kEnemyPi = 3.1415925f;
// No step of the motion or the parts exceeds this.
inline constexpr int32_t kEnemyMaxStepMs = 500;
inline constexpr float kEnemyGravity = 32.15f;

// What took an enemy's hit points below 0: a shot of the local player's
// ship, a shot of anything else (another enemy, another player), or a blast
// (explosions, fire, the energy pulse); unknown for the rest (orders,
// scripts).
enum class EnemyKiller : uint8_t { Unknown, Ship, OtherShot, Blast };

// The turret part turns about (0, -1, 0), the gun parts about (-1, 0, 0).
struct EnemyPart {
  InstanceNode* node;  // null when the model has no such part
  float angle;
  float rate;  // signed radians per second; 0 once arrived
  float target;
  float pivot[3];  // the node's first position key
};

enum EnemyPartIndex { kPartTurret = 0, kPartGun = 1, kPartGun2 = 2 };

class CNewEnemy : public CObject {
  DECLARE_SERIAL_CLASS(CNewEnemy)
 public:
  // For the saved-game reader: no instance, the reset state.
  CNewEnemy();
  // Wraps the instance, whose model must be one of the type table (the
  // manager checks); the type row's parameters, the instance's properties
  // ("speed", "fear", "escort", "parent") and its parts.
  explicit CNewEnemy(Instance* instance);
  // Unlinks the enemy from the others and deletes its instance.
  ~CNewEnemy() override;
  CNewEnemy(const CNewEnemy&) = delete;
  CNewEnemy& operator=(const CNewEnemy&) = delete;

  // ---- construction (new_enemy.cpp)
  // The index of the instance's model in the type table, or -1.
  int FindTypeIndex() const;
  void ResetState();
  void ReadProperties();
  void ResetHitPoints();
  // The manager's quiet removal (a broken saved record, the manager's own
  // deletion): no links are followed when the enemy is deleted.
  void SetQuietDelete() { quietDelete_ = true; }

  // ---- accessors
  Instance* GetInstance() const { return instance_; }
  int GetKind() const { return type_; }
  const char* GetModelName() const { return modelName_; }
  float GetX() const { return pos_[0]; }
  float GetY() const { return pos_[1]; }
  float GetZ() const { return pos_[2]; }
  void GetStoredPosition(float* out) const {
    out[0] = pos_[0], out[1] = pos_[1], out[2] = pos_[2];
  }
  Vec3 GetPosition() const { return {pos_[0], pos_[1], pos_[2]}; }
  // Places the enemy (tests and the orders that move it at once).
  void SetPosition(float x, float y, float z);
  uint64_t GetId() const { return id_; }
  uint32_t GetIdLow() const { return static_cast<uint32_t>(id_); }
  uint32_t GetIdHigh() const { return static_cast<uint32_t>(id_ >> 32); }
  float GetHitPoints() const { return hitPoints_; }
  void SetHitPoints(float hitPoints) { hitPoints_ = hitPoints; }
  float GetDetectRange() const { return detectRange_; }
  float GetAttackRange() const { return attackRange_; }
  float GetMaxSpeed() const { return maxSpeed_; }
  float GetAcceleration() const { return acceleration_; }
  float GetTurnRate() const { return turnRate_; }
  float GetLeash() const { return leash_; }
  float GetArmour() const { return armour_; }
  int GetMissiles() const { return missiles_; }
  int GetMovementMode() const { return mode_; }
  int GetWaypointsWanted() const { return waypointsWanted_; }
  bool IsStopped() const { return stopped_ != 0; }
  void Stop() { stopped_ = 1; }
  void Start() { stopped_ = 0; }
  bool IsFalling() const { return falling_ != 0; }
  bool IsDying() const { return dying_ != 0; }
  bool IsCrashing() const { return crashing_ != 0; }
  bool IsFollowingPath() const { return followingPath_ != 0; }
  int GetPathMode() const { return pathMode_; }
  void ClearPath() { followingPath_ = 0, pathMode_ = 0; }
  CNewPath* GetPath() const { return path_; }
  CPathNode* GetPathNode() const { return pathNode_; }
  bool IsFearful() const { return fearful_ != 0; }
  const char* GetFearName() const { return fearName_; }
  const char* GetEscortName() const { return escortName_; }
  void SetEscortTarget(CNewEnemy* enemy) { escortTargetId_ = enemy ? enemy->id_ : 0; }
  bool HasEscortTarget() const { return escortTargetId_ != 0; }
  uint64_t GetEscortTargetId() const { return escortTargetId_; }
  // The live attack target of the attackobject order, null when none.
  CNewEnemy* GetOrderedTarget() const;
  uint64_t GetAttackTargetId() const { return attackTargetId_; }
  void ForgetOrderedTarget() { attackTargetId_ = 0, orderedTarget_ = 0; }
  bool HasOrderedTarget() const { return orderedTarget_ != 0; }
  bool HasTarget() const { return targetFound_ != 0; }
  bool WasHit() const { return hitThisFrame_ != 0; }
  bool IsManoeuvring() const { return manoeuvring_ != 0; }
  bool IsManoeuvreDone() const { return manoeuvreDone_ != 0; }
  bool IsChasing() const { return chasing_ != 0; }
  bool IsBusy() const { return busy_ != 0; }
  void SetBusy(bool busy) { busy_ = busy ? 1 : 0; }
  int GetBossStage() const { return bossStage_; }
  void SetBossStage(int stage) { bossStage_ = stage; }
  int GetCollisionState() const { return collisionState_; }
  void SetCollisionState(int state) { collisionState_ = state; }
  void SetAttackEscort() { attackEscort_ = 1; }
  void SetAttackEscort(bool on) { attackEscort_ = on ? 1 : 0; }
  void SetSliding() { sliding_ = 1; }
  void SetSliding(bool on) { sliding_ = on ? 1 : 0; }
  bool IsSliding() const { return sliding_ != 0; }
  bool IsTracked() const { return beacon_ != 0; }
  void ClearTracked() { beacon_ = 0; }
  int GetPairRole() const { return pairRole_; }
  void SetPairRole(int role) { pairRole_ = role; }
  void SetPartner(CNewEnemy* partner) { partnerId_ = partner ? partner->id_ : 0; }
  uint64_t GetPartnerId() const { return partnerId_; }
  void SetOwner(DPID owner) { ownerId_ = owner; }
  DPID GetOwner() const { return ownerId_; }
  void SetBombTime(int32_t stamp) { bombStamp_ = stamp; }
  void SetParent(CNewEnemy* launcher) { launcherId_ = launcher ? launcher->id_ : 0; }
  uint64_t GetLauncherId() const { return launcherId_; }
  // A drone's slot becomes empty and the count drops by one.
  void RemoveDrone(CNewEnemy* drone);
  // The drone goes into the first empty slot; false when all are taken.
  bool AddDrone(CNewEnemy* drone);
  int GetDroneCount() const { return static_cast<int>(droneCount_); }
  uint64_t GetDroneId(int slot) const { return slot >= 0 && slot < kEnemyDroneSlots ? droneIds_[slot] : 0; }
  bool IsAtDestination() const {
    return pos_[0] == dest_[0] && pos_[1] == dest_[1] && pos_[2] == dest_[2];
  }
  Vec3 GetDestination() const { return {dest_[0], dest_[1], dest_[2]}; }
  Vec3 GetHome() const { return {home_[0], home_[1], home_[2]}; }
  Vec3 GetAngles() const { return {angle_[0], angle_[1], angle_[2]}; }
  Vec3 GetTargetAngles() const { return {targetAngle_[0], targetAngle_[1], targetAngle_[2]}; }
  Vec3 GetAngularDirection() const { return {angularDir_[0], angularDir_[1], angularDir_[2]}; }
  Vec3 GetMoveDirection() const { return {moveDir_[0], moveDir_[1], moveDir_[2]}; }
  float GetCurrentSpeed() const { return speed_; }
  float GetHalfLeg() const { return halfLeg_; }
  float GetRollOffset() const { return rollOffset_; }
  bool IsWobbling() const { return wobbling_ != 0; }
  bool HasContact() const { return contact_ != 0; }
  int32_t GetLastUpdate() const { return lastUpdate_; }
  void SetLastUpdate(int32_t stamp) { lastUpdate_ = stamp; }
  bool HasLineOfSight() const { return lineOfSight_ != 0; }
  // The line of sight the sensing keeps (set by the sensing each frame).
  void SetLineOfSight(bool on) { lineOfSight_ = on ? 1 : 0; }
  Vec3 GetTargetPoint() const { return {targetPoint_[0], targetPoint_[1], targetPoint_[2]}; }
  // The target point without the ordered-target flag.
  void StoreTargetPoint(float x, float y, float z) {
    targetPoint_[0] = x, targetPoint_[1] = y, targetPoint_[2] = z;
  }
  uint64_t GetTargetKey() const { return targetKey_; }
  int GetDcShieldCharges() const { return dcCharges_; }
  int GetSpinLength() const { return spinLength_; }
  bool IsSpinning() const { return spinning_ != 0; }
  float GetAnimationFrame() const { return animFrame_; }
  const EnemyPart& GetPart(int index) const { return parts_[index]; }
  const float* GetInverseWorldRotation() const { return invWorld_; }
  float GetAimDistance() const { return aimDistance_; }
  int GetWaypointCount() const { return waypointCount_; }
  int GetWaypointIndex() const { return waypointIndex_; }
  Vec3 GetWaypoint(int i) const { return {waypoints_[i][0], waypoints_[i][1], waypoints_[i][2]}; }
  int GetTrailCount() const { return trailCount_; }
  float GetRadiusScale() const { return radiusScale_; }

  // ---- movement (enemy_motion.cpp)
  // The per-frame update toward the target position at game time now.
  void UpdateMotion(float tx, float ty, float tz, int32_t now);
  // Starts a leg toward a point, stopping d short of it; noFace keeps the
  // heading.
  void MoveTo(float x, float y, float z, float d, bool noFace);
  void FaceToward(float x, float y, float z);
  float ApproachSpeed(float* current, float maximum, float halfLeg, float remaining, float acceleration,
                      float seconds) const;
  void ReturnHome();
  void ResumeMove();
  bool AtPoint(const float* point) const;
  bool IsMoving() const;
  void FollowPath(CNewPath* path, int mode);
  void FollowPathStep();
  void KeepEscortDistance();
  // The ground straight below (x, y, z): true with its y in *groundY.
  bool FindGround(float x, float y, float z, float* groundY) const;
  void StartFalling(int cause);
  void StartCrash(float x, float y, float z);
  void Wobble(int32_t now);
  void MarkDying();
  bool DyingDelayOver() const;
  void ClearWaypoints();
  void StopChase();
  void SetTracked();
  static void WrapAngle(float* angle);
  // The length of the shortest turn from b to a (callers take its size).
  static float AngleDelta(float a, float b);

  // ---- parts and aiming (enemy_parts.cpp)
  void FindParts(Instance* instance);
  // A required part missing ends the program (newenemy and the check's
  // line).
  void CheckParts() const;
  // The first missing required part's line of the check, 0 when none.
  int MissingPartLine() const;
  void ApplyTransform(int part);
  void ApplyTransform2(int turretPart, int gunPart);
  void TurnParts(int32_t now);
  void AimAt(float x, float y, float z);
  void PrepareRender(float seconds);
  void GetMuzzleDir(float* x, float* y, float* z) const;
  void GetUpDir(float* x, float* y, float* z) const;
  void GetSideDir(float* x, float* y, float* z) const;
  void GetBodyForward(float* x, float* y, float* z) const;
  void GetMuzzlePos(float* x, float* y, float* z) const;
  void FindSpinParts();
  void SetSpinning(bool on);
  void AnimateParts(int32_t now);

  // ---- damage (enemy_damage.cpp)
  // Hit points after the hit: armour stops a penetration not above it; a
  // hit starts the wobble; types 35 to 37 keep at least 1.
  float TakeDamage(float damage, float penetration, int shieldable);
  float SplashFactor(float x, float y, float z, float radius, float damage) const;
  float SplashDamage(float x, float z, float radius, float damage, float penetration);
  bool IsBossStage() const;
  void ClearShieldFlags() { shieldActive_ = 0, timedShieldUsed_ = 0; }
  // A shield round the enemy has ended: the timed (static) one clears its
  // used flag, the vortex one the active flag; the other mode's stays.
  void ClearShieldFlag(bool timed) { (timed ? timedShieldUsed_ : shieldActive_) = 0; }
  // Set by the manager at the hit that kills; whole-program runs read it in
  // the death line.
  EnemyKiller GetKiller() const { return killer_; }
  void SetKiller(EnemyKiller killer) { killer_ = killer; }

  // ---- sensing (enemy_sensing.cpp)
  // The current target: an ordered point or enemy; a sentry's own choice
  // (false, and the outputs untouched, when it has none).
  bool GetTargetPos(float* x, float* y, float* z);
  bool IsOwnedLocally() const;
  // Line of sight to the target (kept), and the trail of where it was seen.
  bool TrackTarget(float x, float y, float z, int32_t now);
  bool InDetectRange(float x, float y, float z);
  bool InAttackRange(float x, float y, float z);
  void SetTargetPoint(float x, float y, float z);
  void SetEscort(CNewEnemy* enemy);
  void SetEscortBackLink(CNewEnemy* enemy);
  // The trail point newestBack places before the newest; null past the
  // count.
  const float* TrailPoint(int newestBack) const;

  // ---- weapons (enemy_fire.cpp, enemy_fire_patterns.cpp)
  void Fire(int32_t now);
  bool FireHitscanShot(Vec3 origin, int32_t now);
  bool FireRocket(Vec3 origin, int32_t now);
  bool FireHomingMissile(Vec3 origin, Vec3 direction, int32_t now, uint64_t target);
  bool FireRubberBall(Vec3 origin, Vec3 direction, int32_t now);
  bool FireLightBullet(Vec3 origin, Vec3 direction, int32_t now);
  bool FireHeavyBullet(Vec3 origin, Vec3 direction, int32_t now);
  bool FireSlug(Vec3 origin, Vec3 direction, int32_t now);
  bool FireHeavyFireBall(Vec3 origin, Vec3 direction, int32_t now);
  bool FireLightFireBall(Vec3 origin, Vec3 direction, int32_t now);
  bool FireArc(Vec3 origin, Vec3 direction, int32_t now);
  void DropBomb();
  bool DropSentry();
  void LaunchDrone();
  // A sphere of radius 3.6 there touches nothing but the enemy itself.
  bool SegmentClear(float x, float y, float z) const;
  int32_t GetShotCounter() const { return shotCounter_; }
  int32_t GetBurstStamp() const { return burstStamp_; }
  int32_t GetLineOfFireStamp() const { return lineOfFireStamp_; }

  // ---- pursuit (enemy_pursuit.cpp)
  void ChaseTrail(float x, float y, float z);

  // ---- manoeuvres (enemy_manoeuvre.cpp)
  void StartManoeuvre(float x, float y, float z);
  void PlanManoeuvre(const float* target, float radius);
  void NextWaypoint(float x, float y, float z, int32_t now);
  bool IsClear(const float* from, const float* to, const float* f, const float* s, const float* u) const;

  // ---- saved state (enemy_saved_state.cpp)
  void Serialize(CArchive& ar) override;
  // A stamp as its distance from now; the unset stamp 0 keeps a mark of its
  // own, so that it reads back as unset.
  static void StoreTime(CArchive& ar, int32_t now, int32_t stamp);
  static void LoadTime(CArchive& ar, int32_t now, int32_t* stamp);
  // After the manager read its list: the enemy links read as object
  // references become ids. False when the record could not be rebuilt (no
  // model for it): the manager then drops the enemy.
  bool FinishLoading();

 private:
  friend class EnemyTestAccess;

  float Radius() const;
  Vec3 Side() const;
  Vec3 Up() const;
  Vec3 Forward() const;
  Vec3 Muzzle() const;
  bool FireBulletKind(Vec3 origin, Vec3 direction, int32_t now, bool heavy);
  bool FireFireBallKind(Vec3 origin, Vec3 direction, int32_t now, bool heavy);
  bool FindFreeSpot(const Model* model, const Vec3* candidates, int count, Vec3* spot) const;
  bool BurstReady(int32_t pause, int32_t now) const;
  void BurstTail(int32_t now);
  bool InLineOfFire(int32_t now, Vec3* hit);
  // One manoeuvre candidate by the movement mode and type (false: none).
  bool DrawCandidate(const float* t, float j, const float* f, const float* s, const float* u, int count,
                     float lastAngle, bool* middleUsed, float* c, float* angle);
  // The planner's axes: in free flight turned toward the target.
  void PlanBasis(const float* t, float* f, float* s, float* u) const;
  float HalfHeight() const;
  // The vertical scale of the motion update's sphere queries.
  float CollisionVerticalScale() const;
  // The enemy of an id while the manager holds it, else null.
  static CNewEnemy* Live(uint64_t id);
  void SetTurnDirection(int axis);
  void RebuildFromSavedModel(const char* instanceName, int32_t shown);
  bool UsesParts() const;

  // -- identity
  int type_ = 0;
  Instance* instance_ = nullptr;
  char modelName_[kEnemyTypeNameBytes] = {};
  uint64_t id_ = 0;
  bool quietDelete_ = false;
  // -- names
  char fearName_[kEnemyNameBytes] = {};
  char escortName_[kEnemyNameBytes] = {};
  // -- links, by id (0: none)
  uint64_t escortTargetId_ = 0;
  uint64_t attackTargetId_ = 0;
  uint64_t backLinkId_ = 0;
  uint64_t launcherId_ = 0;
  uint64_t partnerId_ = 0;
  uint64_t droneIds_[kEnemyDroneSlots] = {};
  uint32_t droneCount_ = 0;
  CNewPath* path_ = nullptr;
  CPathNode* pathNode_ = nullptr;
  // The enemy references of a record being read, until FinishLoading: drone
  // slots 0..2, escort target, attack target, back link, launcher, partner.
  CNewEnemy* loadedLinks_[8] = {};
  bool loadedWithoutModel_ = false;
  // A path node's event, raised as the motion update's very last act: the
  // event may remove this enemy.
  std::string pendingPathEvent_;
  bool hasPendingPathEvent_ = false;
  // -- motion
  float pos_[3] = {};
  float home_[3] = {};
  float angle_[3] = {};
  float targetAngle_[3] = {};
  float angularDir_[3] = {};
  float moveDir_[3] = {};
  float speed_ = 0.0f;
  float dest_[3] = {};
  float halfLeg_ = 0.0f;
  float aimDistance_ = 0.0f;
  float rollOffset_ = 0.0f;
  float crashRoll_ = 0.0f;
  float dormant_[3] = {};
  float dormant2_[3] = {};
  float groundDir_[3] = {};
  // -- parameters of the type row
  float attackRange_ = 0.0f;
  float detectRange_ = 0.0f;
  float maxSpeed_ = 0.0f;
  float turnRate_ = 0.0f;
  float acceleration_ = 0.0f;
  float leash_ = 0.0f;
  float hitPoints_ = 0.0f;
  float armour_ = 0.0f;
  int32_t missiles_ = 0;
  int32_t mode_ = 0;
  int32_t waypointsWanted_ = 0;
  // -- manoeuvre
  float waypoints_[kEnemyWaypoints][3] = {};
  int32_t waypointCount_ = 0;
  int32_t waypointIndex_ = 0;
  int32_t manoeuvreReserved_ = 0;
  float radiusScale_ = 1.0f;
  // -- target
  float targetPoint_[3] = {};
  uint64_t targetKey_ = 0;
  DPID ownerId_ = 0;
  float trail_[kEnemyTrailPoints][3] = {};
  int32_t trailCount_ = 0;
  int32_t trailHead_ = 0;
  // -- parts
  EnemyPart parts_[3] = {};
  int32_t spinLength_ = 0;
  float animFrame_ = 0.0f;
  float invWorld_[16] = {};
  float reservedMatrix_[16] = {};
  // -- timers (game time; 0 = never)
  int32_t lastUpdate_ = 0;
  int32_t lastSmoke_ = 0;
  int32_t hitscanStamp_ = 0;
  int32_t burstStamp_ = 0;
  int32_t homingStamp_ = 0;
  int32_t heavyBulletStamp_ = 0;
  int32_t lightBulletStamp_ = 0;
  int32_t fireballStamp_ = 0;
  int32_t arcStamp_ = 0;
  int32_t bombStamp_ = 0;
  int32_t sentryStamp_ = 0;
  int32_t droneStamp_ = 0;
  int32_t lastTurn_ = 0;
  int32_t rocketStamp_ = 0;
  int32_t rubberBallStamp_ = 0;
  int32_t manoeuvreStamp_ = 0;
  int32_t manoeuvreLength_ = 0;
  int32_t spinStart_ = 0;
  int32_t wobbleStart_ = 0;
  int32_t wobbleStep_ = 0;
  int32_t bossCycle_ = 0;
  int32_t plannerPause_ = 0;
  int32_t lineOfFireStamp_ = 0;
  int32_t trailSample_ = 0;
  int32_t dyingStamp_ = 0;
  // -- counters
  int32_t shotCounter_ = 0;
  int32_t shotIndex_ = 0;
  int32_t dcCharges_ = 0;
  // -- flags
  int32_t stopped_ = 0;
  int32_t followingPath_ = 0;
  int32_t pathMode_ = 0;
  int32_t fearful_ = 0;
  int32_t hitThisFrame_ = 0;
  EnemyKiller killer_ = EnemyKiller::Unknown;
  int32_t falling_ = 0;
  int32_t fallCause_ = 0;
  int32_t dying_ = 0;
  int32_t crashing_ = 0;
  int32_t manoeuvring_ = 0;
  int32_t manoeuvreDone_ = 0;
  int32_t contact_ = 0;
  int32_t spinning_ = 0;
  int32_t spinPhase_ = 0;
  int32_t orderedTarget_ = 0;
  int32_t chasing_ = 0;
  int32_t wobbling_ = 0;
  int32_t targetFound_ = 0;
  int32_t shieldActive_ = 0;
  int32_t timedShieldUsed_ = 0;
  int32_t beacon_ = 0;
  int32_t attackEscort_ = 0;
  uint8_t busy_ = 0;
  int32_t sliding_ = 0;
  int32_t pairRole_ = 0;
  int32_t collisionState_ = 0;
  int32_t bossStage_ = 0;
  int32_t lineOfSight_ = 0;
  int32_t detectAnswer_ = 0;
  int32_t attackAnswer_ = 0;
};

// Reads one enemy reference (null allowed), restricted to CNewEnemy.
CArchive& ExtractNewEnemy(CArchive& ar, CNewEnemy*& enemy);
// The loaded model of that file name (any case), null when none.
Model* FindModelByName(const char* fileName);
// The current world's group of that name (any case), null when none.
PolygonGroup* FindWorldGroup(const char* name);
