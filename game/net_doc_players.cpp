// The document's players: the map of ship records by network id, the local
// player and the object ids that name things across the network.
#include <new>

#include "engine/collision.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/network_layer.h"

bool CNetDoc::CreatePlayerRecord(const CString& name, const CString& secondName) {
  DeletePlayer();
  localPlayer_ = new (std::nothrow) CDirectPlayer(name, secondName);
  if (!localPlayer_) return false;
  localPlayer_->MarkLocal();
  // The DirectPlay player gives the record its id, the map's key.
  if (!localPlayer_->CreateNetworkPlayer()) {
    DeletePlayer();
    return false;
  }
  AddPlayer(localPlayer_);
  AllocScoreSlot(name);
  return true;
}

bool CNetDoc::CreateLocalPlayer() {
  CDirectPlayer* player = new (std::nothrow) CDirectPlayer("ego", "EE", NewObjectId());
  if (!player) return false;
  player->MarkLocal();
  AddPlayer(player);
  localPlayer_ = player;
  return true;
}

void CNetDoc::DeletePlayer() {
  CDirectPlayer* player = localPlayer_;
  localPlayer_ = nullptr;
  if (player) player->DestroyNetworkPlayer();
  delete player;
}

void CNetDoc::AddPlayer(CDirectPlayer* player) {
  if (player) players_[player->GetId()] = player;
}

void CNetDoc::RemovePlayer(CDirectPlayer* player) {
  if (!player) return;
  g_Net.RemoveRecipient(player->GetId());
  if (player == localPlayer_) localPlayer_ = nullptr;
  CDirectPlayer* listed = nullptr;
  // Another record may hold the id now; only this one's entry goes.
  if (players_.Lookup(player->GetId(), listed) && listed == player) players_.RemoveKey(player->GetId());
}

CDirectPlayer* CNetDoc::FindPlayer(DPID id) const {
  CDirectPlayer* player = nullptr;
  if (id == 0 || !players_.Lookup(id, player)) return nullptr;
  return player;
}

DPID CNetDoc::GetLocalPlayerId() const { return localPlayer_ ? localPlayer_->GetId() : 0xFFFFFFFFu; }

float* CNetDoc::GetLocalPlayerObject() { return localPlayer_->GetOrientation(); }

CDirectPlayer* CNetDoc::FindNearestVisiblePlayer(float x, float y, float z, float maxDistSq) {
  if (!world_) return nullptr;
  CDirectPlayer* nearest = nullptr;
  float limit = maxDistSq;
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player || player == localPlayer_) continue;
    const float dx = player->GetX() - x, dy = player->GetY() - y, dz = player->GetZ() - z;
    const float distSq = dx * dx + dy * dy + dz * dz;
    if (distSq >= limit) continue;
    if (WorldSegmentBlocked(world_, x, y, z, player->GetX(), player->GetY(), player->GetZ())) continue;
    nearest = player;
    limit = distSq;
  }
  return nearest;
}

uint32_t CNetDoc::NewObjectId() {
  // 0 names no object; the counter wraps past it.
  if (nextObjectId_ == 0) ++nextObjectId_;
  return nextObjectId_++;
}
