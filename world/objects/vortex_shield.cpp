#include "world/objects/vortex_shield.h"

#include <cmath>
#include <cstring>

#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/enemy_effect_hooks.h"
#include "world/objects/frame_cycle.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CVortexShield, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kTwoPi = 6.2831853f;

// The local shields alive in each mode: [0] vortex, [1] static.
int g_LocalShields[2] = {0, 0};

void SetLocalFlag(bool staticMode, bool on) {
  if (!g_pNetDoc) return;
  if (staticMode) {
    g_pNetDoc->SetStaticShieldActive(on);
  } else {
    g_pNetDoc->SetInvulnerable(on);
  }
}

}  // namespace

int CVortexShield::LocalShieldCount(bool staticMode) { return g_LocalShields[staticMode ? 1 : 0]; }

CVortexShield::CVortexShield(DPID owner, uint32_t objectId, bool staticMode)
    : CGenericObject(owner, objectId), static_(staticMode) {
  typeCode_ = staticMode ? kTypeStaticShield : kTypeVortexShield;
  CDirectPlayer* player = g_pNetDoc ? g_pNetDoc->FindPlayer(owner_) : nullptr;
  if (player) {
    player_ = player->GetId();
    radius_ = 1.3f * player->GetRadius();
    player->GetPosition(&position_[0], &position_[1], &position_[2]);
  } else if (g_pNetDoc) {
    // Nobody to follow: the shield ends at its first update and never
    // shields the local ship in another's place.
    g_pNetDoc->AddMessage("Error creating vortex shield: player not found!", -1, FALSE);
  }
  timeLeft_ = staticMode ? kStaticShieldLifetime
                         : (g_pNetDoc ? g_pNetDoc->GetTuning().vortexShieldInterval : 1500);
  LoadFrames();
  if (FollowsLocalPlayer()) HoldLocalFlag();
  Start();
}

CVortexShield::CVortexShield(uint32_t objectId, uint64_t enemyId, float radius, int32_t lifetimeMs, bool staticMode)
    : CGenericObject(0, objectId), radius_(radius), timeLeft_(lifetimeMs), enemy_(enemyId), static_(staticMode) {
  typeCode_ = staticMode ? kTypeStaticShield : kTypeVortexShield;
  if (g_EnemyEffectHooks.enemyPosition) {
    g_EnemyEffectHooks.enemyPosition(enemy_, &position_[0], &position_[1], &position_[2]);
  }
  LoadFrames();
  Start();
}

CVortexShield::~CVortexShield() {
  if (enemy_ && g_EnemyEffectHooks.shieldEnded) g_EnemyEffectHooks.shieldEnded(enemy_, static_);
  ReleaseLocalFlag();
  Stop();
}

void CVortexShield::LoadFrames() {
  framePrefix_ = static_ ? "!STATIC" : "!VORTX";
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  framePosition_ = 0.0f;
}

bool CVortexShield::FollowsLocalPlayer() const {
  return player_ != 0 && g_pNetDoc && player_ == g_pNetDoc->GetLocalPlayerId();
}

void CVortexShield::HoldLocalFlag() {
  if (holdsFlag_) return;
  holdsFlag_ = true;
  ++g_LocalShields[static_ ? 1 : 0];
  SetLocalFlag(static_, true);
}

void CVortexShield::ReleaseLocalFlag() {
  if (!holdsFlag_) return;
  holdsFlag_ = false;
  int& count = g_LocalShields[static_ ? 1 : 0];
  if (count > 0) --count;
  if (count == 0) SetLocalFlag(static_, false);
}

int CVortexShield::CountShell() const {
  int n = 0;
  for (WorldPolygon* polygon : shell_) n += polygon != nullptr;
  return n;
}

BOOL CVortexShield::Start() {
  if (active_) return TRUE;
  BuildShell();
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CVortexShield::Stop() {
  if (!active_) return TRUE;
  DeleteShieldShell(shell_);
  active_ = false;
  return TRUE;
}

void CVortexShield::BuildShell() {
  const int k = CycleFrame(framePosition_, frameCount_);
  float viewer[3] = {0, 0, 0};
  if (g_pNetDoc) g_pNetDoc->GetViewerPosition(&viewer[0], &viewer[1], &viewer[2]);
  BuildShieldShell(EffectWorld(), position_, radius_, angle_, kShieldShellHeight, GetFrame(k), viewer, shell_);
}

bool CVortexShield::Follow() {
  if (player_) {
    CDirectPlayer* player = g_pNetDoc ? g_pNetDoc->FindPlayer(player_) : nullptr;
    if (!player) return false;
    player->GetPosition(&position_[0], &position_[1], &position_[2]);
    return true;
  }
  if (enemy_ && g_EnemyEffectHooks.enemyPosition) {
    return g_EnemyEffectHooks.enemyPosition(enemy_, &position_[0], &position_[1], &position_[2]);
  }
  return false;
}

BOOL CVortexShield::Update(uint32_t elapsedMs) {
  const int64_t left = static_cast<int64_t>(timeLeft_) - static_cast<int64_t>(elapsedMs);
  timeLeft_ = left < INT32_MIN ? INT32_MIN : static_cast<int32_t>(left);
  if (timeLeft_ < 0) return FALSE;
  DeleteShieldShell(shell_);
  framePosition_ += 0.02f * static_cast<float>(elapsedMs);
  angle_ = std::fmod(angle_ + static_cast<float>(elapsedMs) * 3.1415927f * 0.0005f, kTwoPi);
  if (!Follow()) return FALSE;
  if (FollowsLocalPlayer() && !g_pNetDoc->IsExternalView()) return TRUE;
  BuildShell();
  return TRUE;
}

void CVortexShield::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CVortexShield::WriteCreateMessage(uint8_t out[kShieldMessageBytes]) const {
  std::memset(out, 0, kShieldMessageBytes);
  WriteCreatePrefix(out);
}

void CVortexShield::SendCreate(DPID to) {
  if (!active_ || !player_ || enemy_) return;
  uint8_t message[kShieldMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kShieldMessageBytes);
}

void CVortexShield::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << radius_ << angle_ << timeLeft_ << framePosition_
       << framePrefix_;
    ArchiveStoreBool(ar, FollowsLocalPlayer());
    ar << enemy_;
    ArchiveStoreBool(ar, static_);
    return;
  }
  bool local = false;
  ar >> position_[0] >> position_[1] >> position_[2] >> radius_ >> angle_ >> timeLeft_ >> framePosition_ >>
      framePrefix_;
  ArchiveLoadBool(ar, local);
  ar >> enemy_;
  ArchiveLoadBool(ar, static_);
  typeCode_ = static_ ? kTypeStaticShield : kTypeVortexShield;
  if (!std::isfinite(angle_)) angle_ = 0.0f;
  // A saved game has one player, the local one; a shield saved round
  // anyone else's ship has nobody to follow and ends.
  player_ = local && g_pNetDoc ? g_pNetDoc->GetLocalPlayerId() : 0;
  if (player_ == 0xFFFFFFFFu) player_ = 0;
  if (player_) enemy_ = 0;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  for (WorldPolygon*& polygon : shell_) polygon = nullptr;
  if (FollowsLocalPlayer()) HoldLocalFlag();
  Start();
}
