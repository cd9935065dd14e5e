#include "world/enemies/new_enemy.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/instance.h"
#include "engine/model.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/ascii.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/enemy_manager.h"

IMPLEMENT_SERIAL_CLASS(CNewEnemy, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

// Copies text into a fixed array, cut to fit and always terminated.
void CopyBounded(char* out, size_t capacity, const char* text) {
  const size_t length = text ? strnlen(text, capacity - 1) : 0;
  if (length) std::memcpy(out, text, length);
  out[length] = '\0';
}

// Ids made without a document (tools, tests of a lone enemy) still differ.
uint32_t g_LoneObjectIds = 0x40000000u;

uint64_t NewEnemyId() {
  uint32_t low = 0;
  uint32_t high = 0;
  if (CNetDoc* doc = GetNetDoc()) {
    low = doc->NewObjectId();
    high = doc->GetLocalPlayerId();
  }
  while (low == 0) low = ++g_LoneObjectIds;
  return (static_cast<uint64_t>(high) << 32) | low;
}

PolygonGroup* FindGroupIn(World* world, const char* name) {
  if (!world || !name) return nullptr;
  for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
    if (AsciiCompareNoCase(group->name, name) == 0) return group;
  }
  return nullptr;
}

}  // namespace

CArchive& ExtractNewEnemy(CArchive& ar, CNewEnemy*& enemy) { return ar >> enemy; }

Model* FindModelByName(const char* fileName) {
  if (!fileName) return nullptr;
  for (Model* model = ModelListHead(); model; model = model->next) {
    if (AsciiCompareNoCase(model->name, fileName) == 0) return model;
  }
  return nullptr;
}

PolygonGroup* FindWorldGroup(const char* name) {
  CNetDoc* doc = GetNetDoc();
  return doc ? FindGroupIn(doc->GetWorld(), name) : nullptr;
}

CNewEnemy* CNewEnemy::Live(uint64_t id) {
  if (id == 0 || !g_pEnemyManager) return nullptr;
  return g_pEnemyManager->FindByKey(id);
}

CNewEnemy::CNewEnemy() { ResetState(); }

CNewEnemy::CNewEnemy(Instance* instance) {
  ResetState();
  id_ = NewEnemyId();
  instance_ = instance;
  if (!instance_) return;
  CopyBounded(modelName_, sizeof modelName_, instance_->model ? instance_->model->name : "");
  // The manager makes enemies of type-table models only; a stray model is
  // kept as a motionless turret with no part rules rather than indexing the
  // tables out of range.
  const int found = FindTypeIndex();
  type_ = found >= 0 ? found : kKindTurret;

  pos_[0] = home_[0] = dest_[0] = instance_->x;
  pos_[1] = home_[1] = dest_[1] = instance_->y;
  pos_[2] = home_[2] = dest_[2] = instance_->z;
  WrapAngle(&instance_->angleX);
  WrapAngle(&instance_->angleY);
  WrapAngle(&instance_->angleZ);
  if (type_ <= kKindTtt || type_ == kKindBoss || type_ == kKindBossa) FindSpinParts();
  angle_[0] = targetAngle_[0] = instance_->angleX;
  angle_[1] = targetAngle_[1] = instance_->angleY;
  angle_[2] = targetAngle_[2] = instance_->angleZ;
  dcCharges_ = 3;

  if (UsesParts()) FindParts(instance_);
  if (type_ == kKindDw || type_ == 16 || type_ == 17 || type_ == kKindDgh || type_ == kKindDrone2) {
    angle_[0] = 0.0f;
    angle_[2] = 0.0f;
  }
  bossStage_ = type_ == kKindBossa ? 0 : (type_ >= kKindFboss && type_ <= kKindFboss5 ? 2 : 0);
  collisionState_ = type_ == kKindManta ? 0 : 2;

  const EnemyTypeParams& row = g_EnemyTypeParams[type_];
  attackRange_ = row.attackRange;
  detectRange_ = row.detectRange;
  maxSpeed_ = row.speed;
  turnRate_ = row.turnRate;
  acceleration_ = row.acceleration;
  leash_ = row.leash;
  hitPoints_ = row.hitPoints;
  mode_ = row.mode;
  armour_ = row.armour;
  missiles_ = row.missiles;
  waypointsWanted_ = row.waypoints;
  InstanceSetAmbient(instance_, row.ambient);

  ReadProperties();
  if (const char* parent = InstanceGetProperty(instance_, "parent")) {
    home_[0] = pos_[0], home_[1] = pos_[1], home_[2] = pos_[2];
    instance_->parentGroup = FindGroupIn(instance_->world, parent);
  }
  PrepareRender(0.0f);
  // A new sentry waits one missile interval before its first missile.
  if (type_ == kKindSentry) homingStamp_ = GetGameTime();
}

CNewEnemy::~CNewEnemy() {
  if (!quietDelete_) {
    if (CNewEnemy* partner = Live(partnerId_)) {
      partner->partnerId_ = 0;
      CNetDoc* doc = GetNetDoc();
      if (doc && doc->GetLocalPlayer()) {
        float x, y, z;
        doc->GetLocalPlayer()->GetPosition(&x, &y, &z);
        partner->StartCrash(x, y, z);
      }
    }
    if (Live(backLinkId_) && g_pEnemyManager) g_pEnemyManager->ClearTargetRefs(this);
    if (CNewEnemy* target = Live(attackTargetId_)) target->backLinkId_ = 0;
    if (type_ == kKindDc) {
      for (uint64_t drone : droneIds_) {
        if (CNewEnemy* live = Live(drone)) live->launcherId_ = 0;
      }
    }
    if (type_ == kKindDw || type_ == kKindDgh) {
      if (CNewEnemy* launcher = Live(launcherId_)) launcher->RemoveDrone(this);
    }
    if (beacon_) {
      if (CNetDoc* doc = GetNetDoc()) doc->SetEnemyBeacon(false, nullptr);
      if (g_pEnemyManager) g_pEnemyManager->ClearBeacon();
    }
  }
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
}

int CNewEnemy::FindTypeIndex() const {
  if (!instance_ || !instance_->model) return -1;
  return EnemyTypeOfModel(instance_->model->name);
}

void CNewEnemy::ResetState() {
  // Every field back to its declared start (zero), then the few defaults.
  // The id stays: the constructor from an instance draws one, and the
  // saved-game reader reads one (drawing one there would move the
  // document's object-id counter by loading).
  const uint64_t keepId = id_;
  Instance* const keepInstance = instance_;
  type_ = 0;
  std::memset(modelName_, 0, sizeof modelName_);
  std::memset(fearName_, 0, sizeof fearName_);
  std::memset(escortName_, 0, sizeof escortName_);
  escortTargetId_ = attackTargetId_ = backLinkId_ = launcherId_ = partnerId_ = 0;
  for (uint64_t& drone : droneIds_) drone = 0;
  droneCount_ = 0;
  path_ = nullptr;
  pathNode_ = nullptr;
  for (CNewEnemy*& link : loadedLinks_) link = nullptr;
  for (int i = 0; i < 3; ++i) {
    pos_[i] = home_[i] = angle_[i] = targetAngle_[i] = angularDir_[i] = moveDir_[i] = 0.0f;
    dest_[i] = dormant_[i] = dormant2_[i] = groundDir_[i] = targetPoint_[i] = 0.0f;
  }
  speed_ = halfLeg_ = aimDistance_ = rollOffset_ = crashRoll_ = 0.0f;
  maxSpeed_ = turnRate_ = acceleration_ = leash_ = hitPoints_ = armour_ = 0.0f;
  missiles_ = mode_ = waypointsWanted_ = 0;
  std::memset(waypoints_, 0, sizeof waypoints_);
  waypointCount_ = waypointIndex_ = manoeuvreReserved_ = 0;
  targetKey_ = 0;
  ownerId_ = 0;
  std::memset(trail_, 0, sizeof trail_);
  trailCount_ = trailHead_ = 0;
  std::memset(parts_, 0, sizeof parts_);
  spinLength_ = 0;
  animFrame_ = 0.0f;
  std::memset(invWorld_, 0, sizeof invWorld_);
  std::memset(reservedMatrix_, 0, sizeof reservedMatrix_);
  lastUpdate_ = lastSmoke_ = hitscanStamp_ = burstStamp_ = homingStamp_ = heavyBulletStamp_ = 0;
  lightBulletStamp_ = fireballStamp_ = arcStamp_ = bombStamp_ = sentryStamp_ = droneStamp_ = 0;
  lastTurn_ = rocketStamp_ = rubberBallStamp_ = manoeuvreStamp_ = manoeuvreLength_ = spinStart_ = 0;
  wobbleStart_ = wobbleStep_ = bossCycle_ = plannerPause_ = lineOfFireStamp_ = trailSample_ = dyingStamp_ = 0;
  shotCounter_ = shotIndex_ = dcCharges_ = 0;
  stopped_ = followingPath_ = pathMode_ = fearful_ = hitThisFrame_ = falling_ = fallCause_ = dying_ = 0;
  crashing_ = manoeuvring_ = manoeuvreDone_ = contact_ = spinning_ = spinPhase_ = orderedTarget_ = 0;
  chasing_ = wobbling_ = targetFound_ = shieldActive_ = timedShieldUsed_ = beacon_ = attackEscort_ = 0;
  busy_ = 0;
  sliding_ = pairRole_ = collisionState_ = bossStage_ = lineOfSight_ = detectAnswer_ = attackAnswer_ = 0;
  attackRange_ = 100.0f;
  detectRange_ = 200.0f;
  radiusScale_ = 1.0f;
  instance_ = keepInstance;
  id_ = keepId;
}

void CNewEnemy::ReadProperties() {
  if (!instance_) return;
  if (const char* text = InstanceGetProperty(instance_, "speed")) {
    char* end = nullptr;
    const float speed = std::strtof(text, &end);
    if (end != text && std::isfinite(speed)) maxSpeed_ = speed;
  }
  if (const char* text = InstanceGetProperty(instance_, "fear")) {
    fearful_ = 1;
    CopyBounded(fearName_, sizeof fearName_, text);
  }
  if (const char* text = InstanceGetProperty(instance_, "escort")) {
    CopyBounded(escortName_, sizeof escortName_, text);
    leash_ = 40.0f;
  }
}

void CNewEnemy::ResetHitPoints() { hitPoints_ = g_EnemyTypeParams[type_].hitPoints; }

void CNewEnemy::SetPosition(float x, float y, float z) {
  pos_[0] = x, pos_[1] = y, pos_[2] = z;
  if (instance_) instance_->x = x, instance_->y = y, instance_->z = z;
}

CNewEnemy* CNewEnemy::GetOrderedTarget() const { return Live(attackTargetId_); }

void CNewEnemy::RemoveDrone(CNewEnemy* drone) {
  if (!drone) return;
  for (uint64_t& slot : droneIds_) {
    if (slot == drone->id_) {
      slot = 0;
      if (droneCount_ > 0) --droneCount_;
      return;
    }
  }
}

bool CNewEnemy::AddDrone(CNewEnemy* drone) {
  if (!drone) return false;
  for (uint64_t& slot : droneIds_) {
    if (slot == 0) {
      slot = drone->id_;
      ++droneCount_;
      return true;
    }
  }
  return false;
}

float CNewEnemy::Radius() const { return instance_ ? instance_->radius : 0.0f; }

float CNewEnemy::HalfHeight() const {
  return instance_ && instance_->model ? instance_->model->halfExtent.y : 0.0f;
}

bool CNewEnemy::UsesParts() const {
  switch (type_) {
    case 1: case 3: case 4: case 18: case 19: case 23: case 25: case 28: case 29: case 30: case 31: case 34:
      return true;
    default:
      return false;
  }
}
