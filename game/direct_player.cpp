#include "game/direct_player.h"

#include <cstring>

#include "engine/instance.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "platform/crt_random.h"

IMPLEMENT_SERIAL_CLASS(CDirectPlayer, CObject, 1)

namespace {

void SetIdentity(Matrix matrix) {
  std::memset(matrix, 0, sizeof(Matrix));
  matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
}

}  // namespace

CDirectPlayer::CDirectPlayer() { Reset(); }

CDirectPlayer::CDirectPlayer(const CString& shortName, const CString& longName) { Init(shortName, longName); }

CDirectPlayer::CDirectPlayer(const CString& shortName, const CString& longName, DPID id) {
  Init(shortName, longName);
  id_ = id;
  remote_ = 1;
}

CDirectPlayer::~CDirectPlayer() {
  if (g_pNetDoc) g_pNetDoc->RemovePlayer(this);
  id_ = 0;
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
}

void CDirectPlayer::Init(const CString& shortName, const CString& longName) {
  id_ = 0;
  shortName_ = shortName;
  longName_ = longName;
  lastStepTime_ = lastKeepAlive_ = lastRemoteTime_ = lastRemoteArrival_ = 0;
  local_ = 0;
  // Only the constructor for another player's record marks it remote.
  remote_ = 0;
  if (g_pNetDoc && g_pNetDoc->GetWorld() && g_pNetDoc->GetShipModel()) {
    instance_ = InstanceCreate(g_pNetDoc->GetWorld(), g_pNetDoc->GetShipModel(), 0, 0, 0, 0, 0, 0, 0);
    ApplyShipSkin(instance_, longName_);
  }
  speed_ = 0.0f;
  Reset();
}

void CDirectPlayer::MarkLocal() {
  local_ = 1;
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
}

void CDirectPlayer::Reset() {
  if (local_ && g_pNetDoc) g_pNetDoc->ResetPlayerState();
  health_ = kShipMaxHealth;
  dead_ = godMode_ = exploded_ = longDeath_ = 0;
  countdown_ = smokeTime_ = 0;
  bank_ = steerVertical_ = steerHorizontal_ = 0.0f;
  shields_ = IsNetworkGame() ? kShipMaxShieldsNetwork : kShipMaxShieldsSingle;
  state_ = PlayerStateBlock{};
  const Instance* ship = g_pNetDoc ? g_pNetDoc->GetPlayerShip() : nullptr;
  state_.radius = ship ? ship->radius * 0.95f : kShipDefaultRadius;
  state_.flags = kPlayerStateShown;
  SetIdentity(state_.matrix);
}

void CDirectPlayer::Respawn() {
  // The level start has put a single-play ship at its start already; the
  // reset must not take it back to the origin.
  Matrix placement;
  std::memcpy(placement, state_.matrix, sizeof(Matrix));
  Reset();
  const bool network = IsNetworkGame();
  if (!network) std::memcpy(state_.matrix, placement, sizeof(Matrix));
  if (local_ && g_pNetDoc && g_pNetDoc->GetPlayerShip()) g_pNetDoc->GetPlayerShip()->collidable = 1;
  if (local_) state_.flags = (state_.flags | kPlayerStateShown) & ~kPlayerStateDead;
  if (network && g_pNetDoc) g_pNetDoc->NextStartPosition(state_.matrix);
  for (int axis = 12; axis < 15; ++axis) {
    state_.matrix[axis] += state_.radius * 0.2f * static_cast<float>(1 - CrtRand() % 3);
  }
  if (!g_pNetDoc) return;
  g_pNetDoc->SpawnRespawnLight(0, GetX(), GetY(), GetZ());
  if (local_) {
    g_pNetDoc->SyncCameraToShip();
    if (network && g_pNetDoc->IsExternalView()) g_pNetDoc->ToggleChaseCamera();
  }
}

void CDirectPlayer::GetPosition(float* x, float* y, float* z) const {
  *x = state_.matrix[12];
  *y = state_.matrix[13];
  *z = state_.matrix[14];
}

void CDirectPlayer::GetDirection(float* x, float* y, float* z) const {
  *x = state_.matrix[8];
  *y = state_.matrix[9];
  *z = state_.matrix[10];
}
