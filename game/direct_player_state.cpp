// A ship's state on the network and in saved games: the compact and full
// blocks, their publication and their application to a remote ship, and the
// record's archive form.
#include <cmath>
#include <cstring>

#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_layer.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"

namespace {

constexpr float kPoleLimit = 1.9073486e-6f;  // 2^-19

bool AllFinite(const float* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

}  // namespace

void PlayerStateAngles(const Matrix m, float* a, float* b, float* c) {
  const float h = std::sqrt(m[0] * m[0] + m[4] * m[4]);
  *b = std::atan2(-m[8], h);
  if (h <= kPoleLimit) {
    *a = std::atan2(-m[6], m[5]);
    *c = 0.0f;
  } else {
    *a = std::atan2(m[9], m[10]);
    *c = std::atan2(m[4], m[0]);
  }
}

void PlayerStateMatrix(float a, float b, float c, Matrix m) {
  const float sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b), sc = std::sin(c),
              cc = std::cos(c);
  m[0] = cb * cc;
  m[1] = cc * sa * sb - sc * ca;
  m[2] = sa * sc + sb * cc * ca;
  m[4] = cb * sc;
  m[5] = sb * sa * sc + cc * ca;
  m[6] = sb * sc * ca - cc * sa;
  m[8] = -sb;
  m[9] = cb * sa;
  m[10] = cb * ca;
}

void PlayerStateWriteFull(const PlayerStateBlock& state, uint8_t out[kPlayerStateFullSize]) {
  NetWriteU32(out, state.time);
  NetWriteU32(out + 4, state.flags);
  size_t at = 8;
  auto put = [&](const float* values, int count) {
    for (int i = 0; i < count; ++i, at += 4) NetWriteF32(out + at, values[i]);
  };
  put(state.thrust, 3);
  put(state.angularAccel, 3);
  put(state.matrix, 16);
  put(state.velocity, 3);
  put(state.angularVelocity, 3);
  put(&state.radius, 1);
}

bool CDirectPlayer::CreateNetworkPlayer() {
  IDirectPlay3A* dp = g_Net.GetDirectPlay();
  if (!dp) return true;
  uint8_t block[kPlayerStateFullSize];
  PlayerStateWriteFull(state_, block);
  DPNAME name{sizeof(DPNAME), 0, shortName_, longName_};
  DPID id = 0;
  if (dp->CreatePlayer(&id, &name, nullptr, block, sizeof block, 0) != DP_OK) {
    OutputDebugString("korvane: network: Error creating player\n");
    return false;
  }
  id_ = id;
  return true;
}

void CDirectPlayer::DestroyNetworkPlayer() {
  IDirectPlay3A* dp = g_Net.GetDirectPlay();
  if (dp && id_ && local_ && dp->DestroyPlayer(id_) != DP_OK) {
    OutputDebugString("korvane: network: Error destroying player\n");
  }
}

void CDirectPlayer::SendState() {
  IDirectPlay3A* dp = g_Net.GetDirectPlay();
  if (!dp) return;
  uint8_t block[kPlayerStateCompactSize];
  NetWriteU32(block, state_.time);
  NetWriteU32(block + 4, kPlayerStateCompact | (state_.flags & kPlayerStateShown) | (dead_ ? kPlayerStateDead : 0));
  NetWriteF32(block + 8, state_.matrix[12]);
  NetWriteF32(block + 12, state_.matrix[13]);
  NetWriteF32(block + 16, state_.matrix[14]);
  float a, b, c;
  PlayerStateAngles(state_.matrix, &a, &b, &c);
  NetWriteF32(block + 20, a);
  NetWriteF32(block + 24, b);
  NetWriteF32(block + 28, c);
  NetWriteF32(block + 32, bank_);
  if (dp->SetPlayerData(id_, block, sizeof block, 0) != DP_OK) {
    OutputDebugString("korvane: network: Error reporting remote player data\n");
  }
}

bool CDirectPlayer::ApplyRemoteState(const void* data, size_t size) {
  if (!data || size < 8) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  const uint32_t time = NetReadU32(bytes);
  const uint32_t flags = NetReadU32(bytes + 4);
  const bool compact = (flags & kPlayerStateCompact) != 0;
  if (size < (compact ? kPlayerStateCompactSize : kPlayerStateFullSize)) return false;
  // Older than the last applied block: a late arrival.
  const bool applied = lastRemoteTime_ != 0 || lastRemoteArrival_ != 0;
  if (applied && static_cast<int32_t>(time - lastRemoteTime_) < 0) return false;
  if (compact) {
    float values[7];
    for (int i = 0; i < 7; ++i) values[i] = NetReadF32(bytes + 8 + 4 * i);
    if (!AllFinite(values, 7)) return false;
    PlayerStateMatrix(values[3], values[4], values[5], state_.matrix);
    state_.matrix[12] = values[0];
    state_.matrix[13] = values[1];
    state_.matrix[14] = values[2];
    state_.flags = (state_.flags & ~kPlayerStateShown) | (flags & kPlayerStateShown);
    bank_ = values[6];
  } else {
    float values[29];
    for (int i = 0; i < 29; ++i) values[i] = NetReadF32(bytes + 8 + 4 * i);
    if (!AllFinite(values, 29)) return false;
    const Instance* ship = g_pNetDoc ? g_pNetDoc->GetPlayerShip() : nullptr;
    const float ownRadius = ship && ship->radius > 0.0f ? ship->radius : kShipDefaultRadius;
    const float radius = values[28];
    if (!(radius > 0.0f) || radius > 100.0f * ownRadius) return false;
    state_.flags = flags;
    std::memcpy(state_.thrust, values, 3 * sizeof(float));
    std::memcpy(state_.angularAccel, values + 3, 3 * sizeof(float));
    std::memcpy(state_.matrix, values + 6, 16 * sizeof(float));
    std::memcpy(state_.velocity, values + 22, 3 * sizeof(float));
    std::memcpy(state_.angularVelocity, values + 25, 3 * sizeof(float));
    state_.radius = radius;
    bank_ = 0.0f;
  }
  state_.time = time;
  dead_ = (flags & kPlayerStateDead) ? 1 : 0;
  if (applied && g_pNetDoc) g_pNetDoc->RecordRemoteUpdateInterval(static_cast<int>(time - lastRemoteTime_));
  lastRemoteTime_ = time;
  lastRemoteArrival_ = static_cast<uint32_t>(GetGameTime());
  if (lastRemoteArrival_ == 0) lastRemoteArrival_ = 1;  // 0 stands for "nothing applied yet"
  return true;
}

void ArchiveStoreBool(CArchive& archive, bool value) { archive << static_cast<uint8_t>(value ? 1 : 0); }

void ArchiveLoadBool(CArchive& archive, bool& value) {
  uint8_t byte = 0;
  archive >> byte;
  value = byte != 0;
}

void CDirectPlayer::Serialize(CArchive& archive) {
  const auto now = static_cast<uint32_t>(GetGameTime());
  uint32_t* times[5] = {&lastStepTime_, &lastKeepAlive_, &lastRemoteTime_, &lastRemoteArrival_, &state_.time};
  float* words[29] = {};
  int n = 0;
  for (float& v : state_.thrust) words[n++] = &v;
  for (float& v : state_.angularAccel) words[n++] = &v;
  for (float& v : state_.matrix) words[n++] = &v;
  for (float& v : state_.velocity) words[n++] = &v;
  for (float& v : state_.angularVelocity) words[n++] = &v;
  words[n++] = &state_.radius;
  if (archive.IsStoring()) {
    archive << static_cast<uint32_t>(id_) << shortName_ << longName_;
    for (uint32_t* t : times) archive << static_cast<uint32_t>(*t - now);
    for (float* w : words) archive << *w;
    archive << local_ << remote_ << dead_ << health_ << shields_ << smokeTime_ << exploded_ << countdown_
            << longDeath_;
  } else {
    instance_ = nullptr;
    uint32_t id = 0;
    archive >> id >> shortName_ >> longName_;
    id_ = id;
    for (uint32_t* t : times) {
      uint32_t stored = 0;
      archive >> stored;
      *t = stored + now;
    }
    for (float* w : words) archive >> *w;
    archive >> local_ >> remote_ >> dead_ >> health_ >> shields_ >> smokeTime_ >> exploded_ >> countdown_ >>
        longDeath_;
  }
}

void ExtractDirectPlayer(CArchive& archive, CDirectPlayer*& player) {
  player = dynamic_cast<CDirectPlayer*>(archive.ReadObject(RUNTIME_CLASS(CDirectPlayer)));
}
