// The enemy orders of the level script: an order word, an enemy name (a
// trailing '*' names every enemy it begins, else the first one) and the
// order's arguments, e.g. "wait guard* 3000" or "gopath drone_1 patrol".
// The name "satellite" reaches the satellite strikes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/instance.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "media/sound_manager.h"
#include "platform/ascii.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/enemy_orders.h"
#include "world/enemies/new_enemy.h"
#include "world/enemies/satellite.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"

const char* const g_EnemyOrderTable[kEnemyOrderCount] = {
    "freeze",  "thaw",         "stop",       "start",        "wait",         "scare",       "escort",
    "notify",  "damage",       "gopath",     "traversepath", "slidepath",    "leavepath",   "destroy",
    "explode", "notifynear",   "attackobject", "attackpoint", "hide",        "show",        "uncloak",
    "create_beacon",
};

int FindEnemyOrder(const char* word) {
  if (!word) return -1;
  for (int i = 0; i < kEnemyOrderCount; ++i) {
    if (AsciiCompareNoCase(word, g_EnemyOrderTable[i]) == 0) return i + 1;
  }
  return -1;
}

bool NextWord(char* word, size_t size, const char** cursor) {
  if (size == 0) return false;
  word[0] = '\0';
  const char* at = *cursor;
  if (!at) return false;
  while (*at == ' ') ++at;
  if (*at == '\0') return false;  // the cursor stays
  const char* end = at;
  while (*end && *end != ' ') ++end;
  const size_t length = static_cast<size_t>(end - at);
  *cursor = end;
  // A word too long for the buffer is refused, never cut to another word.
  if (length >= size) return false;
  std::memcpy(word, at, length);
  word[length] = '\0';
  return true;
}

namespace {

bool ParseInt(const char* word, int* value) {
  char* end = nullptr;
  const long v = std::strtol(word, &end, 10);
  if (end == word || *end != '\0' || v < 0 || v > 0x7fffffffL) return false;
  *value = static_cast<int>(v);
  return true;
}

bool ParseFloat(const char* word, float* value) {
  char* end = nullptr;
  *value = std::strtof(word, &end);
  return end != word && *end == '\0';
}

}  // namespace

// The arguments an order reads once, at its first matching enemy.
struct EnemyOrderArguments {
  const char* cursor;
  bool read = false;
  bool ok = false;
  char word[kEnemyOrderWordBytes] = {};
  int number = 0;
  float point[3] = {};
};

int CEnemyAI::CarryOutOrder(int code, CNewEnemy* enemy, const char* name, EnemyOrderArguments* args) {
  EnemyOrderArguments& a = *args;
  auto readWord = [&]() {
    if (!a.read) {
      a.read = true;
      a.ok = NextWord(a.word, sizeof a.word, &a.cursor);
    }
    return a.ok;
  };
  Instance* instance = enemy->GetInstance();
  CNetDoc* doc = GetNetDoc();
  switch (code) {
    case 3:
      enemy->Stop();
      return 1;
    case 4:
      enemy->Start();
      return 1;
    case 5: {
      if (!a.read) {
        a.read = true;
        a.ok = NextWord(a.word, sizeof a.word, &a.cursor) && ParseInt(a.word, &a.number);
      }
      if (!a.ok) return 0;
      enemy->Stop();
      if (g_pEventManager) g_pEventManager->AddTimedEvent(a.number, CString(std::string("start ") + name));
      return 1;
    }
    case 10:
    case 11:
    case 12: {
      if (!readWord()) return 0;
      CNewPath* path = g_pPathMgr ? g_pPathMgr->FindPath(a.word) : nullptr;
      if (!path || enemy->IsStopped()) return 0;
      enemy->FollowPath(path, code == 10 ? 0 : 1);
      if (code == 12) enemy->SetSliding(true);
      return 1;
    }
    case 13:
      enemy->ClearPath();
      enemy->SetSliding(false);
      return 1;
    case 14:
    case 15:
      if (doc) {
        doc->SpawnDebris(0, enemy->GetX(), enemy->GetY(), enemy->GetZ(), enemy->GetModelName(),
                         instance ? instance->matrix : nullptr, code == 15);
      }
      RemoveEnemy(instance);
      return 1;
    case 17: {
      if (!readWord()) return 0;
      CNewEnemy* target = FindByNamePrefix(a.word);
      if (!target) return 0;
      enemy->SetEscort(target);
      return 1;
    }
    case 18: {
      if (!a.read) {
        a.read = true;
        a.ok = NextWord(a.word, sizeof a.word, &a.cursor) && ParseFloat(a.word, &a.point[0]) &&
               std::sscanf(a.cursor, "%f %f", &a.point[1], &a.point[2]) == 2;
      }
      // Coordinates that are missing or not numbers refuse the order.
      if (!a.ok) return 0;
      enemy->SetTargetPoint(a.point[0], a.point[1], a.point[2]);
      return 1;
    }
    case 19:
      if (instance) instance->collidable = 0;
      enemy->Stop();
      return 1;
    case 21:
      if (g_pSoundManager) g_pSoundManager->PlayNamedAt("uncloak", enemy->GetX(), enemy->GetY(), enemy->GetZ(), 0);
      if (doc && instance) doc->SpawnSphere(0, enemy->GetX(), enemy->GetY(), enemy->GetZ(), 1.3f * instance->radius);
      [[fallthrough]];
    case 20:
      if (instance) instance->collidable = 1;
      enemy->Start();
      return 1;
    case 22:
      if (CNewEnemy* previous = GetBeacon()) previous->ClearTracked();
      SetBeacon(enemy);
      enemy->SetTracked();
      return 1;
    default:
      return 1;  // accepted, nothing to do
  }
}

BOOL CEnemyAI::ExecuteOrder(const char* piece, const char* /*source*/) {
  if (IsNetworkGame()) return TRUE;
  if (!piece) return FALSE;
  const char* cursor = piece;
  char order[kEnemyOrderWordBytes];
  char name[kEnemyOrderWordBytes];
  if (!NextWord(order, sizeof order, &cursor) || !NextWord(name, sizeof name, &cursor)) return FALSE;
  const std::string asGiven = name;
  size_t length = std::strlen(name);
  const bool all = length > 0 && name[length - 1] == '*';
  if (all) name[--length] = '\0';
  const int code = FindEnemyOrder(order);
  if (code < 0) return FALSE;
  if (AsciiCompareNoCase(name, "satellite") == 0) return g_pSatellite ? g_pSatellite->Order(code) : FALSE;
  if (GetEnemyCount() == 0) return FALSE;
  // The matches are taken first: a destroyed enemy's death event may remove
  // others, and those are skipped, not followed.
  std::vector<uint64_t> matches;
  for (CNewEnemy* enemy : Enemies()) {
    const Instance* instance = enemy->GetInstance();
    if (!instance || AsciiCompareNoCaseN(instance->name, name, length) != 0) continue;
    matches.push_back(enemy->GetId());
    if (!all) break;
  }
  EnemyOrderArguments args;
  args.cursor = cursor;
  bool matched = false;
  for (uint64_t id : matches) {
    CNewEnemy* enemy = FindByKey(id);
    if (!enemy) continue;
    if (!CarryOutOrder(code, enemy, asGiven.c_str(), &args)) return FALSE;
    matched = true;
  }
  return matched ? TRUE : FALSE;
}
