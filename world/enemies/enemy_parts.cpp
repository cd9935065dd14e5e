// Enemy model parts: the turret and gun nodes that turn independently of the
// body, the body's matrix, the orientation queries that movement and firing
// use, and the short barrel animation of a few types.
#include <cmath>
#include <cstring>

#include "engine/instance.h"
#include "engine/matrix.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "platform/ascii.h"
#include "world/enemies/new_enemy.h"

namespace {

constexpr float kTurretAxis[3] = {0.0f, -1.0f, 0.0f};
constexpr float kGunAxis[3] = {-1.0f, 0.0f, 0.0f};
constexpr const char* kPartSource = "newenemy";

struct PartNames {
  int type;
  const char* names[3];  // turret, gun, second gun; null: none
  int lines[3];          // the check's line when the part is missing; 0: not required
};

constexpr PartNames kPartNames[] = {
    {1, {"turret", "barrels", nullptr}, {4201, 4206, 0}},
    {3, {"turret", "barrel_up", "barrel_dn"}, {4157, 4162, 4167}},
    {4, {"turret", "barrels", nullptr}, {4144, 4149, 0}},
    {18, {"tower", "rckt00", nullptr}, {4131, 4136, 0}},
    {19, {"platform", "gunh", nullptr}, {4175, 4180, 0}},
    {23, {"turret", nullptr, nullptr}, {4222, 0, 0}},
    {25, {"turret", nullptr, nullptr}, {4214, 0, 0}},
    {28, {"turret", "barrels", nullptr}, {4243, 4248, 0}},
    {29, {"turret", "barrels", nullptr}, {4188, 4193, 0}},
    {30, {nullptr, "barrels", nullptr}, {0, 0, 0}},
    {31, {"base", "body", nullptr}, {4230, 4235, 0}},
    {34, {"base", "barrel1", nullptr}, {4256, 4261, 0}},
};

const PartNames* PartNamesOf(int type) {
  for (const PartNames& entry : kPartNames) {
    if (entry.type == type) return &entry;
  }
  return nullptr;
}

const float* AxisOf(int part) { return part == kPartTurret ? kTurretAxis : kGunAxis; }

// Types whose turret node carries both rotations (their gun node is left
// to its key frames or to the turret).
bool TurretCarriesGun(int type) { return type == 1 || type == 3 || type == 4 || type == 28; }

bool TurnsParts(int type) {
  switch (type) {
    case 1: case 3: case 4: case 18: case 19: case 23: case 25: case 28: case 29: case 30: case 31: case 34:
      return true;
    default:
      return false;
  }
}

void Row(const float* m, int row, float* x, float* y, float* z) {
  *x = m[4 * row], *y = m[4 * row + 1], *z = m[4 * row + 2];
}

void WithoutTranslation(const float* in, float* out) {
  std::memcpy(out, in, sizeof(float) * 16);
  out[12] = out[13] = out[14] = 0.0f;
}

float Clamp1(float v) { return v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v); }

}  // namespace

void CNewEnemy::FindParts(Instance* instance) {
  const PartNames* names = PartNamesOf(type_);
  if (!instance || !names) return;
  for (InstanceNode* node = instance->firstNode; node; node = node->nextInInstance) {
    MeshNode* mesh = node->meshNode;
    if (!mesh) continue;
    for (int part = 0; part < 3; ++part) {
      if (!names->names[part] || AsciiCompareNoCase(mesh->name, names->names[part]) != 0) continue;
      EnemyPart& p = parts_[part];
      p.node = node;
      if (RotationKey* key = mesh->firstRotKey) {
        const float* axis = AxisOf(part);
        key->axis = {axis[0], axis[1], axis[2]};
      }
      if (part == kPartTurret || (part == kPartGun && type_ != 1 && type_ != 3 && type_ != 4)) node->animated = 0;
      const PositionKey* position = mesh->firstPosKey;
      p.pivot[0] = position ? position->position.x : 0.0f;
      p.pivot[1] = position ? position->position.y : 0.0f;
      p.pivot[2] = position ? position->position.z : 0.0f;
      ApplyTransform(part);
    }
  }
  CheckParts();
}

int CNewEnemy::MissingPartLine() const {
  const PartNames* names = PartNamesOf(type_);
  if (!names) return 0;
  for (int part = 0; part < 3; ++part) {
    if (names->lines[part] && !parts_[part].node) return names->lines[part];
  }
  return 0;
}

void CNewEnemy::CheckParts() const {
  if (const int line = MissingPartLine()) CGameApp::FatalError(kPartSource, line);
}

void CNewEnemy::ApplyTransform(int part) {
  EnemyPart& p = parts_[part];
  if (!p.node || !MatrixPush()) return;
  const float* axis = AxisOf(part);
  MatrixIdentity();
  MatrixRotateAxis(axis[0], axis[1], axis[2], p.angle);
  MatrixGet(p.node->localMatrix);
  MatrixPop();
  p.node->localOffset = {p.pivot[0], p.pivot[1], p.pivot[2]};
  if (instance_) instance_->dirty = 1;
}

void CNewEnemy::ApplyTransform2(int turretPart, int gunPart) {
  EnemyPart& turret = parts_[turretPart];
  const EnemyPart& gun = parts_[gunPart];
  if (!turret.node || !MatrixPush()) return;
  MatrixIdentity();
  MatrixRotateAxis(kGunAxis[0], kGunAxis[1], kGunAxis[2], gun.angle);
  MatrixRotateAxis(kTurretAxis[0], kTurretAxis[1], kTurretAxis[2], turret.angle);
  MatrixGet(turret.node->localMatrix);
  MatrixPop();
  turret.node->localOffset = {turret.pivot[0], turret.pivot[1], turret.pivot[2]};
  if (instance_) instance_->dirty = 1;
}

void CNewEnemy::TurnParts(int32_t now) {
  if (!TurnsParts(type_)) return;
  if (lastTurn_ == 0) {
    lastTurn_ = now;
    return;
  }
  const int32_t step = GameTimeSince(lastUpdate_, now);
  if (step <= 0) return;
  const float seconds = static_cast<float>(step > kEnemyMaxStepMs ? kEnemyMaxStepMs : step) / 1000.0f;
  auto turn = [&](EnemyPart& p) {
    const float delta = p.rate * seconds;
    if (std::fabs(delta) >= std::fabs(AngleDelta(p.target, p.angle))) {
      p.angle = p.target;
      p.rate = 0.0f;
    } else {
      p.angle += delta;
      WrapAngle(&p.angle);
    }
  };
  EnemyPart& gun = parts_[kPartGun];
  EnemyPart& turret = parts_[kPartTurret];
  const bool gunTurns = gun.rate != 0.0f;
  if (gunTurns) {
    turn(gun);
    if (!TurretCarriesGun(type_)) ApplyTransform(kPartGun);
  }
  const bool turretTurns = type_ != kKindThunder && turret.rate != 0.0f;
  if (turretTurns) turn(turret);
  if (TurretCarriesGun(type_)) {
    // The turret node carries the barrels' pitch too: it is written when
    // either turns, or a pitch after the turret arrived would never show.
    if (gunTurns || turretTurns) ApplyTransform2(kPartTurret, kPartGun);
  } else if (turretTurns) {
    ApplyTransform(kPartTurret);
  }
  lastTurn_ = now;
}

void CNewEnemy::AimAt(float x, float y, float z) {
  float m[3];
  GetMuzzlePos(&m[0], &m[1], &m[2]);
  float d[3] = {x - m[0], y - m[1], z - m[2]};
  aimDistance_ = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (aimDistance_ <= 0.0f) return;
  const float* w = invWorld_;
  const float b[3] = {d[0] * w[0] + d[1] * w[4] + d[2] * w[8], d[0] * w[1] + d[1] * w[5] + d[2] * w[9],
                      d[0] * w[2] + d[1] * w[6] + d[2] * w[10]};
  const float length = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  if (length <= 0.0f) return;
  // Clamped against rounding; atan2 keeps the side of a point straight
  // to the left or right.
  const float pitch = std::asin(Clamp1(-b[1] / length));
  float heading = std::atan2(b[0], b[2]);
  if (type_ == kKindBoss) {
    const int32_t now = GetGameTime();
    if (bossCycle_ == 0) bossCycle_ = now;
    const int32_t age = GameTimeSince(bossCycle_, now);
    if (age < 2000) heading += kEnemyPi;  // the boss turns away
    if (age > 16000) bossCycle_ = now;
  }
  WrapAngle(&heading);
  if (type_ == kKindTtg) {
    const float half = kEnemyPi / 2.0f;
    heading = heading > half ? half : (heading < -half ? -half : heading);
  }
  auto aim = [](EnemyPart& p, float target, float rate) {
    p.target = target;
    float sign = target > p.angle ? 1.0f : -1.0f;
    if (std::fabs(target - p.angle) > kEnemyPi) sign = -sign;
    p.rate = sign * rate;
  };
  aim(parts_[kPartGun], pitch, turnRate_);
  aim(parts_[kPartTurret], heading, 3.0f * turnRate_);
}

void CNewEnemy::PrepareRender(float seconds) {
  if (!instance_ || !MatrixPush()) return;
  MatrixIdentity();
  MatrixRotateX(angle_[0]);
  MatrixRotateY(angle_[1]);
  MatrixRotateZ(angle_[2] + rollOffset_);
  if ((type_ == kKindManta || type_ == kKindDrone2) && crashing_) {
    crashRoll_ += 3.0f * seconds;
    float m[16];
    MatrixGet(m);
    MatrixRotateAxis(m[8], m[9], m[10], crashRoll_);
  }
  float rotation[16];
  MatrixGet(rotation);
  PolygonGroup* parent = instance_->parentGroup;
  if (parent) {
    MatrixTranslate(home_[0], home_[1], home_[2]);
  } else {
    MatrixTranslate(pos_[0], pos_[1], pos_[2]);
  }
  float body[16];
  MatrixGet(body);
  if (TurnsParts(type_)) {
    MatrixLoad(rotation);
    if (parent) {
      float p[16];
      WithoutTranslation(parent->worldMatrix, p);
      MatrixMultiply(p);
    }
    MatrixInvert();
    MatrixGet(invWorld_);
  }
  MatrixPop();
  InstanceSetMatrix(instance_, body, instance_->animTime);
}

void CNewEnemy::GetBodyForward(float* x, float* y, float* z) const {
  if (!instance_) {
    *x = 0.0f, *y = 0.0f, *z = 1.0f;
    return;
  }
  Row(instance_->matrix, 2, x, y, z);
}

namespace {

// Row i of G x T x rot(B) x P (any factor may be left out).
void PartsRow(const Instance* instance, const InstanceNode* gun, const InstanceNode* turret, bool withParent, int row,
              float* x, float* y, float* z) {
  float out[16];
  if (!MatrixPush()) {
    Row(instance->matrix, row, x, y, z);
    return;
  }
  MatrixIdentity();
  if (gun) MatrixMultiply(gun->localMatrix);
  if (turret) MatrixMultiply(turret->localMatrix);
  float b[16];
  WithoutTranslation(instance->matrix, b);
  MatrixMultiply(b);
  if (withParent && instance->parentGroup) {
    float p[16];
    WithoutTranslation(instance->parentGroup->worldMatrix, p);
    MatrixMultiply(p);
  }
  MatrixGet(out);
  MatrixPop();
  Row(out, row, x, y, z);
}

bool TurretAxesType(int type) {
  return type == 1 || type == 3 || type == 4 || type == 28 || type == 29 || type == 31 || type == 34;
}

}  // namespace

void CNewEnemy::GetUpDir(float* x, float* y, float* z) const {
  if (!instance_) {
    *x = 0.0f, *y = -1.0f, *z = 0.0f;
    return;
  }
  if (TurretAxesType(type_)) {
    PartsRow(instance_, parts_[kPartGun].node, parts_[kPartTurret].node, true, 1, x, y, z);
  } else {
    Row(instance_->matrix, 1, x, y, z);
  }
  *x = -*x, *y = -*y, *z = -*z;
}

void CNewEnemy::GetSideDir(float* x, float* y, float* z) const {
  if (!instance_) {
    *x = 1.0f, *y = 0.0f, *z = 0.0f;
    return;
  }
  if (TurretAxesType(type_)) {
    PartsRow(instance_, parts_[kPartGun].node, parts_[kPartTurret].node, true, 0, x, y, z);
  } else {
    Row(instance_->matrix, 0, x, y, z);
  }
}

void CNewEnemy::GetMuzzleDir(float* x, float* y, float* z) const {
  if (!instance_) {
    *x = 0.0f, *y = 0.0f, *z = 1.0f;
    return;
  }
  const InstanceNode* gun = parts_[kPartGun].node;
  const InstanceNode* turret = parts_[kPartTurret].node;
  switch (type_) {
    case 1: case 3: case 4: case 31: case 34:
      PartsRow(instance_, gun, turret, true, 2, x, y, z);
      return;
    case 18: case 19: case 28: case 29:
      PartsRow(instance_, gun, turret, false, 2, x, y, z);
      return;
    case 23:
      if (turret) {
        PartsRow(instance_, nullptr, turret, false, 2, x, y, z);
      } else {
        Row(instance_->matrix, 2, x, y, z);
      }
      return;
    case 30:
      PartsRow(instance_, gun, nullptr, false, 2, x, y, z);
      return;
    default:
      Row(instance_->matrix, 2, x, y, z);
  }
}

void CNewEnemy::GetMuzzlePos(float* x, float* y, float* z) const {
  float u[3], f[3];
  GetUpDir(&u[0], &u[1], &u[2]);
  GetBodyForward(&f[0], &f[1], &f[2]);
  float up = 0.0f, forward = 0.0f;
  switch (type_) {
    case 4: up = 2.8f; break;
    case 18: case 28: case 30: up = 2.0f; break;
    case 19: forward = 9.0f, up = 3.0f; break;
    case 23: up = -10.0f; break;
    case 25: up = -5.0f; break;
    case 29: forward = 2.0f, up = 5.0f; break;
    default: break;
  }
  *x = pos_[0] + forward * f[0] + up * u[0];
  *y = pos_[1] + forward * f[1] + up * u[1];
  *z = pos_[2] + forward * f[2] + up * u[2];
}

void CNewEnemy::FindSpinParts() {
  const char* name = nullptr;
  if (type_ == 1 || type_ == 4 || type_ == kKindBoss) name = "barrels";
  if (type_ == 3) name = "barrel_up";
  if (!name || !instance_) return;
  for (InstanceNode* node = instance_->firstNode; node; node = node->nextInInstance) {
    const MeshNode* mesh = node->meshNode;
    if (mesh && AsciiCompareNoCase(mesh->name, name) == 0 && mesh->lastPosKey) {
      spinLength_ = static_cast<int32_t>(mesh->lastPosKey->time);
    }
  }
}

void CNewEnemy::SetSpinning(bool on) { spinning_ = on ? 1 : 0; }

void CNewEnemy::AnimateParts(int32_t now) {
  if (!spinning_) return;
  if (spinStart_ == 0) {
    spinPhase_ = 0;
    spinStart_ = now;
    animFrame_ = 0.0f;
  }
  const float age = static_cast<float>(GameTimeSince(spinStart_, now));
  const float last = static_cast<float>(spinLength_ - 1);
  if (type_ == 1 || type_ == 3 || type_ == 4 || type_ == kKindBoss) {
    if (spinPhase_ == 0) {
      animFrame_ = age * last * 0.01f;
      if (animFrame_ > last) {
        animFrame_ = last;
        spinPhase_ = 1;
        spinStart_ = now;
      }
    } else {
      const float back = type_ == 3 ? age * 0.01f : age / 700.0f;
      animFrame_ = last * (1.0f - back);
      if (animFrame_ < 0.0f) {
        animFrame_ = 0.0f;
        spinning_ = 0;
        spinPhase_ = 0;
        spinStart_ = 0;
      }
    }
  } else if (type_ == kKindBossa) {
    animFrame_ = age / 64.0f;
    if (animFrame_ > (bossStage_ ? 25.0f : 20.0f)) {
      spinStart_ = 0;
      animFrame_ = 0.0f;
      if (bossStage_) bossStage_ = 0;
    }
  }
  if (instance_) {
    instance_->animTime = animFrame_;
    instance_->dirty = 1;
  }
}
