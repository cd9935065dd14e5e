// The enemy's saved record: the fields in their fixed order and widths, time
// stamps as their distance from the game time, and the engine instance
// rebuilt from its model's file name, placement, name, shown flag and
// properties.
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/instance.h"
#include "engine/properties.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/paths/path.h"

namespace {

// The unset stamp 0 ("never") is saved as this mark, which no real distance
// from the save time reaches, so that it reads back as unset.
constexpr int32_t kUnsetStampMark = INT32_MIN;
// A saved property list longer than this, or a value longer than
// kMaxPropertyValue, is refused.
constexpr int32_t kMaxSavedProperties = 4096;
constexpr uint32_t kMaxPropertyValue = 4096;

void Refuse() { throw CArchiveException(CArchiveException::generic); }

void StoreText(CArchive& ar, const char* text) {
  const uint32_t length = static_cast<uint32_t>(std::strlen(text));
  ar << length;
  ar.Write(text, length);
}

// A text that must fit the array (capacity includes the NUL).
void LoadText(CArchive& ar, char* out, size_t capacity) {
  uint32_t length = 0;
  ar >> length;
  if (length >= capacity) Refuse();
  if (ar.Read(out, length) != length) throw CArchiveException(CArchiveException::endOfFile);
  out[length] = '\0';
}

std::string LoadValue(CArchive& ar) {
  uint32_t length = 0;
  ar >> length;
  if (length > kMaxPropertyValue) Refuse();
  std::string value(length, '\0');
  if (length && ar.Read(value.data(), length) != length) throw CArchiveException(CArchiveException::endOfFile);
  return value;
}

void StoreRef(CArchive& ar, const CObject* object) { ar << object; }

template <class T>
void LoadRef(CArchive& ar, T*& out) {
  ar >> out;
}

void Floats(CArchive& ar, float* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (ar.IsStoring()) {
      ar << values[i];
    } else {
      ar >> values[i];
      if (!std::isfinite(values[i])) Refuse();
    }
  }
}

void Ints(CArchive& ar, int32_t* const* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (ar.IsStoring()) {
      ar << *values[i];
    } else {
      ar >> *values[i];
    }
  }
}

void RequireRange(int32_t value, int32_t low, int32_t high) {
  if (value < low || value > high) Refuse();
}

}  // namespace

void CNewEnemy::StoreTime(CArchive& ar, int32_t now, int32_t stamp) {
  ar << (stamp == 0 ? kUnsetStampMark : GameTimeSince(stamp, now));
}

void CNewEnemy::LoadTime(CArchive& ar, int32_t now, int32_t* stamp) {
  int32_t value = 0;
  ar >> value;
  *stamp = value == kUnsetStampMark ? 0 : GameTimeAdd(now, -value);
}

void CNewEnemy::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  const bool storing = ar.IsStoring();
  const int32_t now = GetGameTime();
  char instanceName[kInstanceNameLength + 1] = {};
  // 1, 2
  if (storing) {
    ar << droneCount_;
    for (uint64_t drone : droneIds_) StoreRef(ar, Live(drone));
    ar << static_cast<uint32_t>(type_);
    StoreRef(ar, path_);
    StoreRef(ar, pathNode_);
    ar << GetIdHigh() << GetIdLow();
    ar << static_cast<uint32_t>(targetKey_ >> 32) << static_cast<uint32_t>(targetKey_);
    StoreText(ar, fearName_);
    StoreText(ar, escortName_);
    StoreText(ar, modelName_);
    StoreText(ar, instance_ ? instance_->name : "");
    for (uint64_t link : {escortTargetId_, attackTargetId_, backLinkId_, launcherId_, partnerId_}) {
      StoreRef(ar, Live(link));
    }
  } else {
    ar >> droneCount_;
    if (droneCount_ > kEnemyDroneSlots) Refuse();
    for (int i = 0; i < kEnemyDroneSlots; ++i) LoadRef(ar, loadedLinks_[i]);
    uint32_t type = 0;
    ar >> type;
    if (type >= static_cast<uint32_t>(kEnemyTypeCount)) Refuse();
    type_ = static_cast<int>(type);
    LoadRef(ar, path_);
    LoadRef(ar, pathNode_);
    uint32_t high = 0, low = 0;
    ar >> high >> low;
    id_ = (static_cast<uint64_t>(high) << 32) | low;
    ar >> high >> low;
    targetKey_ = (static_cast<uint64_t>(high) << 32) | low;
    LoadText(ar, fearName_, sizeof fearName_);
    LoadText(ar, escortName_, sizeof escortName_);
    LoadText(ar, modelName_, sizeof modelName_);
    LoadText(ar, instanceName, sizeof instanceName);
    for (int i = 3; i < 8; ++i) LoadRef(ar, loadedLinks_[i]);
  }
  // 13
  for (EnemyPart& part : parts_) {
    float values[6] = {part.angle, part.rate, part.target, part.pivot[0], part.pivot[1], part.pivot[2]};
    Floats(ar, values, 6);
    part.angle = values[0], part.rate = values[1], part.target = values[2];
    part.pivot[0] = values[3], part.pivot[1] = values[4], part.pivot[2] = values[5];
  }
  // 14
  int32_t* const counters[] = {&missiles_,     &shotIndex_,          &shotCounter_, &waypointCount_,
                               &waypointIndex_, &manoeuvreReserved_, &spinLength_,  &dcCharges_};
  Ints(ar, counters, 8);
  // 15: the eleven vectors, x of each, then y, then z.
  float reservedPoint[3] = {};
  float* const vectors[] = {reservedPoint, pos_,         angle_,       moveDir_, dormant_,    dormant2_,
                            angularDir_,   groundDir_,   targetPoint_, dest_,    targetAngle_};
  for (int axis = 0; axis < 3; ++axis) {
    for (float* v : vectors) Floats(ar, &v[axis], 1);
  }
  // 16, 17, 18, 19, 20
  int32_t* const trail[] = {&trailCount_, &trailHead_};
  Ints(ar, trail, 2);
  Floats(ar, &trail_[0][0], kEnemyTrailPoints * 3);
  Floats(ar, &waypoints_[0][0], kEnemyWaypoints * 3);
  Floats(ar, reservedMatrix_, 16);
  Floats(ar, invWorld_, 16);
  // 21
  float* const scalars[] = {&turnRate_, &maxSpeed_,  &acceleration_, &detectRange_, &attackRange_,  &leash_,
                            &aimDistance_, &hitPoints_, &armour_,    &animFrame_,   &radiusScale_, &rollOffset_};
  for (float* v : scalars) Floats(ar, v, 1);
  // 22
  int32_t reserved = 0;
  int32_t* const stamps[] = {&lastUpdate_,      &hitscanStamp_,   &burstStamp_,      &homingStamp_,  &reserved,
                             &reserved,         &heavyBulletStamp_, &lightBulletStamp_, &fireballStamp_, &arcStamp_,
                             &bombStamp_,       &sentryStamp_,    &droneStamp_,      &reserved,      &lastTurn_,
                             &rocketStamp_,     &reserved,        &reserved,         &manoeuvreStamp_, &manoeuvreLength_,
                             &spinStart_,       &wobbleStart_,    &wobbleStep_,      &bossCycle_,    &rubberBallStamp_,
                             &plannerPause_};
  for (int32_t* stamp : stamps) {
    if (storing) {
      StoreTime(ar, now, stamp == &reserved ? 0 : *stamp);
    } else {
      LoadTime(ar, now, stamp);
    }
  }
  // 23
  int32_t* const flags[] = {&lineOfSight_, &detectAnswer_, &attackAnswer_, &followingPath_, &pathMode_,
                            &stopped_,     &fearful_,      &hitThisFrame_, &manoeuvring_,   &contact_,
                            &spinning_,    &spinPhase_,    &orderedTarget_, &chasing_,      &wobbling_,
                            &targetFound_, &shieldActive_, &timedShieldUsed_, &sliding_,    &mode_,
                            &collisionState_};
  Ints(ar, flags, 21);
  // 24, 25, 26, 27
  int32_t shown = instance_ ? instance_->collidable : 1;
  if (storing) {
    ar << static_cast<uint32_t>(ownerId_) << shown << speed_ << halfLeg_;
  } else {
    uint32_t owner = 0;
    ar >> owner >> shown;
    ownerId_ = owner;
    float motion[2] = {};
    Floats(ar, motion, 2);
    speed_ = motion[0], halfLeg_ = motion[1];
  }
  int32_t* const tail[] = {&waypointsWanted_, &beacon_, &crashing_, &attackEscort_, &bossStage_, &pairRole_};
  Ints(ar, tail, 6);
  // 28, 29
  if (storing) {
    int32_t count = 0;
    for (const PropertyEntry* p = instance_ ? instance_->props : nullptr; p; p = p->next) ++count;
    ar << count;
    for (const PropertyEntry* p = instance_ ? instance_->props : nullptr; p; p = p->next) {
      ar << static_cast<uint32_t>(p->key);
      StoreText(ar, p->value ? p->value : "");
    }
    return;
  }
  // Everything read is checked before the enemy is rebuilt from it.
  RequireRange(waypointCount_, 0, kEnemyWaypoints);
  RequireRange(waypointIndex_, 0, kEnemyWaypoints);
  RequireRange(waypointsWanted_, 0, kEnemyWaypoints);
  RequireRange(trailCount_, 0, kEnemyTrailPoints);
  RequireRange(trailHead_, 0, kEnemyTrailPoints - 1);
  RequireRange(mode_, kMoveFree, kMoveTerrain);
  int32_t count = 0;
  ar >> count;
  RequireRange(count, 0, kMaxSavedProperties);
  std::vector<std::pair<int32_t, std::string>> properties;
  properties.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    uint32_t key = 0;
    ar >> key;
    properties.emplace_back(static_cast<int32_t>(key), LoadValue(ar));
  }
  RebuildFromSavedModel(instanceName, shown);
  if (!instance_) return;
  // Stored in list order; each PropSet puts its entry at the head, so the
  // list is rebuilt from its end.
  for (auto it = properties.rbegin(); it != properties.rend(); ++it) {
    PropSet(&instance_->props, it->first, it->second.c_str());
  }
  if (const char* parent = InstanceGetProperty(instance_, "parent")) {
    instance_->parentGroup = FindWorldGroup(parent);
  }
}

void CNewEnemy::RebuildFromSavedModel(const char* instanceName, int32_t shown) {
  // The record carries no home point: the loaded position serves (the boss
  // sequence returns there, and a rider keeps it in its group's frame).
  home_[0] = pos_[0], home_[1] = pos_[1], home_[2] = pos_[2];
  Model* model = FindModelByName(modelName_);
  CNetDoc* doc = GetNetDoc();
  World* world = doc ? doc->GetWorld() : nullptr;
  if (!model || !world) {
    loadedWithoutModel_ = true;
    return;
  }
  instance_ = InstanceCreate(world, model, pos_[0], pos_[1], pos_[2], angle_[0], angle_[1], angle_[2], 0.0f);
  if (!instance_) {
    loadedWithoutModel_ = true;
    return;
  }
  instance_->collidable = shown;
  std::strncpy(instance_->name, instanceName, kInstanceNameLength);
  instance_->name[kInstanceNameLength] = '\0';
  if (UsesParts()) {
    // The saved angles of the parts stay; finding them writes angle 0.
    EnemyPart saved[3];
    std::memcpy(saved, parts_, sizeof saved);
    for (EnemyPart& part : parts_) part.node = nullptr;
    FindParts(instance_);
    for (int i = 0; i < 3; ++i) {
      InstanceNode* node = parts_[i].node;
      parts_[i] = saved[i];
      parts_[i].node = node;
    }
    const bool turretCarriesGun = type_ == 1 || type_ == 3 || type_ == 4 || type_ == 28;
    if (turretCarriesGun) {
      ApplyTransform2(kPartTurret, kPartGun);
    } else {
      for (int i = 0; i < 3; ++i) ApplyTransform(i);
    }
  }
}

bool CNewEnemy::FinishLoading() {
  uint64_t* const ids[8] = {&droneIds_[0],   &droneIds_[1], &droneIds_[2], &escortTargetId_,
                            &attackTargetId_, &backLinkId_, &launcherId_,  &partnerId_};
  for (int i = 0; i < 8; ++i) {
    *ids[i] = loadedLinks_[i] ? loadedLinks_[i]->id_ : 0;
    loadedLinks_[i] = nullptr;
  }
  if (loadedWithoutModel_ || !instance_) return false;
  PrepareRender(0.0f);
  return true;
}
