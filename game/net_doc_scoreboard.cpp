// Players arriving and leaving, kills and the scoreboard, and the small
// notices of the level (group states, script event texts) on the network.
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "world/objects/object_manager.h"

namespace {

int GreenIndex() { return NearestPaletteIndex(0, 200, 0); }

}  // namespace

void CNetDoc::PlayerJoined(CDirectPlayer* player) {
  if (!player) return;
  AddPlayer(player);
  AddMessage(CString("player in the game: ") + player->GetName(), GreenIndex(), FALSE);
  AllocScoreSlot(player->GetName());
  if (!g_Net.IsHost()) return;
  // The newcomer starts where everybody else is: the objects, every group's
  // state, then the scoreboard.
  if (g_pObjectManager) g_pObjectManager->SendAllTo(player->GetId());
  if (world_) {
    for (PolygonGroup* group = world_->firstGroup; group; group = group->next) {
      SendObjectState(group, player->GetId());
      LogGroupState("sent to", player->GetName(), group);
    }
  }
  SendGameState(player->GetId());
}

void CNetDoc::LogGroupState(const char* how, const char* who, PolygonGroup* group) {
  CString line;
  line.Format("korvane: group state %s %s: %s %s %s\n", how, who, group->name ? group->name : "",
              GroupIsVisible(group) ? "shown" : "hidden", GroupIsMoving(group) ? "moving" : "still");
  OutputDebugString(line);
}

void CNetDoc::LogPlayerPlace(const CDirectPlayer* player) {
  CString line;
  line.Format("korvane: player %s was at %.0f %.0f %.0f\n", static_cast<const char*>(player->GetName()),
              player->GetX(), player->GetY(), player->GetZ());
  OutputDebugString(line);
}

void CNetDoc::PlayerLeft(DPID id) {
  CDirectPlayer* player = FindPlayer(id);
  if (!player || player == localPlayer_) return;
  AddMessage(CString("player left the game: ") + player->GetName(), GreenIndex(), FALSE);
  LogPlayerPlace(player);
  delete player;  // off the map and every queued message's recipients
}

void CNetDoc::OnPlayerData(DPID id, const uint8_t* data, size_t size) {
  if (id == 0 || id == GetLocalPlayerId()) return;
  if (CDirectPlayer* player = FindPlayer(id)) {
    player->ApplyRemoteState(data, size);
    return;
  }
  // The data came before (or instead of) the player's creation: the record
  // is made from the names DirectPlay knows.
  CString shortName, longName;
  if (IDirectPlay3A* dp = g_Net.GetDirectPlay()) {
    DWORD needed = 0;
    if (dp->GetPlayerName(id, nullptr, &needed) == DPERR_BUFFERTOOSMALL && needed >= sizeof(DPNAME) &&
        needed <= 4096) {
      auto* buffer = new (std::nothrow) uint64_t[(needed + 8) / 8 + 1]();
      DWORD size2 = needed;
      if (buffer && dp->GetPlayerName(id, buffer, &size2) == DP_OK) {
        const auto* name = reinterpret_cast<const DPNAME*>(buffer);
        if (name->lpszShortNameA) shortName = name->lpszShortNameA;
        if (name->lpszLongNameA) longName = name->lpszLongNameA;
      }
      delete[] buffer;
    }
  }
  auto* player = new (std::nothrow) CDirectPlayer(shortName, longName, id);
  if (!player) return;
  player->ApplyRemoteState(data, size);
  PlayerJoined(player);
}

void CNetDoc::OnPlayerKilled(CDirectPlayer* victim, CDirectPlayer* killer) {
  if (!victim || !IsNetworkGame()) return;
  if (!killer) killer = victim;
  int victimSlot = -1, killerSlot = -1;
  FindScoreSlots(victim, killer, &victimSlot, &killerSlot);
  if (victimSlot >= 0 && killerSlot >= 0) ++killMatrix_[victimSlot][killerSlot];
  if (victim != localPlayer_) return;
  AddMessage(victim == killer ? CString("You're dead again...")
                              : CString("You've been killed by ") + killer->GetName(),
             -1, FALSE);
  uint8_t message[kNetKillSize] = {};
  NetWriteHeader(message, kNetTypeKill, victim->GetId(), timeGetTime());
  NetWriteU32(message + 12, killer->GetId());
  message[16] = 1;
  g_Net.Send(0, message, sizeof message, true);
}

void CNetDoc::OnKillMessage(const NetMessageView& message) {
  if (message.Action() != 1) return;
  CDirectPlayer* victim = FindPlayer(message.Owner());
  CDirectPlayer* killer = FindPlayer(message.W(12));
  // A report about players this program doesn't know counts nothing.
  if (!victim) return;
  if (!killer || killer == victim) {
    AddMessage(victim->GetName() + " died in action", -1, FALSE);
  } else {
    AddMessage(victim->GetName() + " was killed by " + killer->GetName(), -1, FALSE);
  }
  OnPlayerKilled(victim, killer);
}

void CNetDoc::FindScoreSlots(CDirectPlayer* victim, CDirectPlayer* killer, int* victimSlot, int* killerSlot) {
  *victimSlot = *killerSlot = -1;
  for (int slot = 0; slot < scoreSlotCount_ && (*victimSlot < 0 || *killerSlot < 0); ++slot) {
    if (victim && scoreNames_[slot].CompareNoCase(victim->GetName()) == 0) *victimSlot = slot;
    if (killer && scoreNames_[slot].CompareNoCase(killer->GetName()) == 0) *killerSlot = slot;
  }
  if (*victimSlot < 0 && victim) *victimSlot = AllocScoreSlot(victim->GetName());
  if (*killerSlot < 0 && killer) *killerSlot = AllocScoreSlot(killer->GetName());
}

namespace {

// Kills of others minus deaths by one's own hand.
int ScoreOf(const int32_t matrix[10][10], int count, int slot) {
  int score = 0;
  for (int row = 0; row < count; ++row) {
    if (row != slot) score += matrix[row][slot];
  }
  return score - matrix[slot][slot];
}

}  // namespace

int CNetDoc::AllocScoreSlot(const CString& name) {
  for (int slot = 0; slot < scoreSlotCount_; ++slot) {
    if (scoreNames_[slot].CompareNoCase(name) == 0) return slot;
  }
  if (scoreSlotCount_ < 10) {
    scoreNames_[scoreSlotCount_] = name;
    return scoreSlotCount_++;
  }
  // Full: the absent player with the lowest score makes room.
  int chosen = 0, lowest = 9999;
  for (int slot = 0; slot < 10; ++slot) {
    bool present = false;
    for (POSITION at = players_.GetStartPosition(); at && !present;) {
      DPID id = 0;
      CDirectPlayer* player = nullptr;
      players_.GetNextAssoc(at, id, player);
      present = player && scoreNames_[slot].CompareNoCase(player->GetName()) == 0;
    }
    const int score = ScoreOf(killMatrix_, 10, slot);
    if (!present && score < lowest) {
      lowest = score;
      chosen = slot;
    }
  }
  for (int i = 0; i < 10; ++i) killMatrix_[chosen][i] = killMatrix_[i][chosen] = 0;
  scoreNames_[chosen] = name;
  return chosen;
}

void CNetDoc::GetScoreLines(CString lines[], int count) {
  if (count > scoreSlotCount_) count = scoreSlotCount_;
  int scores[10];
  bool used[10] = {};
  for (int slot = 0; slot < scoreSlotCount_; ++slot) scores[slot] = ScoreOf(killMatrix_, scoreSlotCount_, slot);
  for (int line = 0; line < count; ++line) {
    int best = -1;
    for (int slot = 0; slot < scoreSlotCount_; ++slot) {
      if (!used[slot] && scores[slot] > -999999 && (best < 0 || scores[slot] > scores[best])) best = slot;
    }
    if (best < 0) return;
    used[best] = true;
    char text[64];
    std::snprintf(text, sizeof text, "%2d %s", scores[best], static_cast<const char*>(scoreNames_[best]));
    lines[line] = text;
  }
}

bool CNetDoc::SendGameState(DPID to) {
  uint8_t message[kNetGameStateSize] = {};
  NetWriteHeader(message, kNetTypeGameState, GetLocalPlayerId(), timeGetTime());
  NetWriteU32(message + 12, NewObjectId());
  message[16] = 1;
  NetWriteU32(message + 20, static_cast<uint32_t>(scoreSlotCount_));
  for (int slot = 0; slot < kNetScoreSlots; ++slot) {
    const CString& name = scoreNames_[slot];
    const size_t length = std::min<size_t>(name.GetLength(), kNetScoreNameBytes - 1);
    std::memcpy(message + kNetScoreNamesOffset + slot * kNetScoreNameBytes, static_cast<const char*>(name), length);
  }
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 10; ++column) {
      NetWriteU32(message + kNetKillMatrixOffset + (row * 10 + column) * 4, static_cast<uint32_t>(killMatrix_[row][column]));
    }
  }
  return g_Net.Send(to, message, sizeof message, true);
}

void CNetDoc::OnGameStateMessage(const NetMessageView& message) {
  if (message.Action() != 1) return;
  // The checks have bounded the count and terminated every name.
  scoreSlotCount_ = static_cast<int32_t>(message.W(20));
  for (int slot = 0; slot < kNetScoreSlots; ++slot) {
    scoreNames_[slot] = reinterpret_cast<const char*>(message.data + kNetScoreNamesOffset + slot * kNetScoreNameBytes);
  }
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 10; ++column) {
      killMatrix_[row][column] = static_cast<int32_t>(message.W(kNetKillMatrixOffset + (row * 10 + column) * 4));
    }
  }
}

void CNetDoc::SetObjectActive(PolygonGroup* group, bool show) {
  if (!group) return;
  const bool visible = GroupIsVisible(group) != 0;
  if (show == visible) return;
  if (show) {
    GroupShow(group, 1);
  } else {
    GroupHide(group, 1);
  }
  if (IsNetworkGame()) SendObjectState(group, 0);
}

void CNetDoc::SendObjectState(PolygonGroup* group, DPID to) {
  if (!group) return;
  uint8_t message[kNetGroupStateSize] = {};
  NetWriteHeader(message, kNetTypeGroupState, GetLocalPlayerId(), timeGetTime());
  NetWriteU32(message + 12, static_cast<uint32_t>(NameHash(group->name ? group->name : "")));
  message[16] = 2;
  message[17] = static_cast<uint8_t>((GroupIsVisible(group) ? 1 : 0) | (GroupIsMoving(group) ? 2 : 0) |
                                     (to != 0 ? 0x80 : 0));
  float position = 0.0f, speed = 0.0f;
  GroupGetMoverState(group, &position, &speed);
  NetWriteF32(message + 20, position);
  NetWriteF32(message + 24, speed);
  g_Net.Send(to, message, sizeof message, true);
}

void CNetDoc::OnGroupStateMessage(const NetMessageView& message) {
  if (message.Action() != 2 || !world_) return;
  const auto hash = static_cast<int>(message.W(12));
  PolygonGroup* group = world_->firstGroup;
  while (group && NameHash(group->name ? group->name : "") != hash) group = group->next;
  if (!group) return;
  const uint8_t flags = message.B(17);
  if (flags & 1) {
    GroupShow(group, 1);
  } else {
    GroupHide(group, 1);
  }
  if (!(flags & 0x80)) return;
  GroupSetMoverState(group, message.F(20), message.F(24));
  if (flags & 2) {
    GroupStartMover(group);
  } else {
    GroupStopMover(group);
  }
  // The host's catch-up of a joining program (the whole-program run compares
  // it with what the host sent).
  CDirectPlayer* sender = FindPlayer(message.Owner());
  LogGroupState("from", sender ? static_cast<const char*>(sender->GetName()) : "?", group);
}

void CNetDoc::SendTextMessage(const char* text, DPID to) {
  const size_t length = text ? std::strlen(text) : 0;
  if (length > kNetMaxText) return;
  uint8_t message[kNetMaxText + kNetTextOverhead] = {};
  NetWriteHeader(message, kNetTypeScriptEvent, GetLocalPlayerId(), timeGetTime());
  if (length) std::memcpy(message + kNetTextOffset, text, length);
  g_Net.Send(to, message, static_cast<int>(length + kNetTextOverhead), true);
}

void CNetDoc::RecordRemoteUpdateInterval(int ms) {
  // lateMessages_: the number of intervals, then those longer than 2, 4 and
  // 10 times the mean; averageLatency_: the mean.
  const int n = lateMessages_[0];
  if (n < 10000) {
    averageLatency_ = (static_cast<float>(ms) + averageLatency_ * static_cast<float>(n)) / static_cast<float>(n + 1);
  } else {
    averageLatency_ = (static_cast<float>(ms) + averageLatency_ * 10000.0f) * 0.00009999f;
  }
  if (n > 10000) {
    if (ms > 2.0f * averageLatency_) ++lateMessages_[1];
    if (ms > 4.0f * averageLatency_) ++lateMessages_[2];
    if (ms > 10.0f * averageLatency_) ++lateMessages_[3];
  }
  lateMessages_[0] = n + 1;
}
