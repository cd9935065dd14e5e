// The keyword chain of one event piece: the event manager's own keywords,
// then the script commands, the enemy orders and the last keyword, in the
// order docs/event-language.md gives. Rows 1 to 3 compare without regard to
// case, all others exactly.
#include <cstdlib>
#include <string>

#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "engine/palette.h"
#include "media/sound_manager.h"
#include "platform/ascii.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "world/document/group_activation.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/script/event_hooks.h"
#include "world/script/event_manager.h"
#include "world/script/event_words.h"
#include "world/script/script_manager.h"

namespace {

constexpr int kRandomEventLimit = 100;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const size_t length = std::char_traits<char>::length(prefix);
  return text.size() >= length && AsciiCompareNoCaseN(text.c_str(), prefix, length) == 0;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const size_t length = std::char_traits<char>::length(suffix);
  return text.size() >= length && AsciiCompareNoCase(text.c_str() + text.size() - length, suffix) == 0;
}

std::string FirstWord(const std::string& text) {
  CString word;
  CString rest(text);
  PopFirstWord(word, rest);
  return word.GetString();
}

// Path name and decimal travel time of the camera keywords.
void StartPath(int slot, const std::string& rest) {
  CString name;
  CString time;
  CString text(rest);
  PopFirstWord(name, text);
  PopFirstWord(time, text);
  EventStartPath(slot, name, ParseClampedInt(time));
}

// The palette entry nearest to pure red, for the failure messages.
int RedColour() { return FindPaletteColour(255, 0, 0); }

void LocalPlayerDeathSound() { EventPlayDeathSound(); }

}  // namespace

BOOL CEventManager::HideOrShow(const std::string& rest, bool show) {
  bool found = false;
  if (World* world = ScriptWorld()) {
    const size_t star = rest.find('*');
    if (star != std::string::npos && star > 0) {
      const std::string stem = rest.substr(0, star);
      for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
        if (group->name && StartsWithNoCase(group->name, stem.c_str())) {
          SetObjectActive(group, show);
          found = true;
        }
      }
    } else if (PolygonGroup* group = GroupFindByName(world, rest.c_str())) {
      SetObjectActive(group, show);
      found = true;
    }
  }
  if (!found && g_pObjectManager) {
    found = show ? g_pObjectManager->EnableSupply(rest.c_str()) : g_pObjectManager->DisableSupply(rest.c_str());
  }
  return found ? TRUE : FALSE;
}

BOOL CEventManager::RandomEvent(const std::string& base) {
  int count = 0;
  while (count < kRandomEventLimit) {
    const std::string name = base + std::to_string(count + 1);
    if (ResolveMacro(name.c_str()).GetLength() == 0) break;
    ++count;
  }
  if (count == 0) return TRUE;
  const std::string chosen = base + std::to_string(CrtRand() % count + 1);
  RaiseEvent(ResolveMacro(chosen.c_str()), nullptr);
  return TRUE;
}

BOOL CEventManager::Dispatch(const CString& pieceText, const char* source) {
  const std::string piece(pieceText.GetString());
  CNetDoc* doc = g_pNetDoc;
  World* world = ScriptWorld();
  auto done = [this](int row, BOOL result) {
    lastRow_ = row;
    return result;
  };

  bool handled = false;
  if (StartsWithNoCase(piece, "hide ") || StartsWithNoCase(piece, "show ")) {
    const bool show = piece[0] == 's' || piece[0] == 'S';
    handled = HideOrShow(piece.substr(5), show) != FALSE;
    lastRow_ = 1;
  } else if (StartsWithNoCase(piece, "remove_group ")) {
    if (world) SetObjectActive(GroupFindByName(world, piece.substr(13).c_str()), false);
    return done(2, TRUE);
  } else if (StartsWithNoCase(piece, "mission_") && EndsWithNoCase(piece, "_done")) {
    return done(3, TRUE);
  } else if (StartsWith(piece, "mission_failed ")) {
    const int page = ParseClampedInt(TrimText(piece.substr(15)).c_str());
    if (doc) doc->AddMessage("mission failed...", RedColour(), FALSE);
    LocalPlayerDeathSound();
    if (g_pInterface) g_pInterface->ShowMissionFailed(page);
    return done(4, TRUE);
  } else if (StartsWith(piece, "quake ")) {
    const int strength = ParseClampedInt(TrimText(piece.substr(6)).c_str());
    if (strength > 0) {
      if (doc) doc->RaiseShakeTo(strength);
      EventPlayRumble();
      AddTimedEvent(strength, "soundstop rumble");
    }
    return done(5, TRUE);
  } else if (piece == "event_mission_failed") {
    CNetView* view = doc ? doc->GetView() : nullptr;
    if (view && !view->IsMissionFailed()) {
      doc->AddMessage("mission failed!", RedColour(), FALSE);
      LocalPlayerDeathSound();
      view->SetMissionFailed(true);
    }
    return done(6, TRUE);
  } else if (StartsWith(piece, "timer ")) {
    const char* end = nullptr;
    const int delay = ParseLeadingDigits(piece.c_str() + 6, &end);
    const CString command(TrimLeft(end).c_str());
    // Remember the row before the command runs: it may dispatch pieces of
    // its own.
    lastRow_ = 7;
    if (delay > 0) {
      AddTimedEvent(delay, command);
    } else {
      RaiseEventFromUnknown(command);
    }
    return done(7, TRUE);
  } else if (StartsWith(piece, "countdown ")) {
    const char* end = nullptr;
    const int timeMs = ParseLeadingDigits(piece.c_str() + 10, &end);
    if (doc) EventStartCountdown(timeMs, TrimLeft(end).c_str());
    return done(8, TRUE);
  } else if (StartsWith(piece, "fireball ")) {
    const std::string rest = piece.substr(9);
    const size_t blank = rest.find(' ');
    const std::string name = rest.substr(0, blank);
    PolygonGroup* group = world ? GroupFindByName(world, name.c_str()) : nullptr;
    if (!group) return done(9, FALSE);
    const char* numbers = blank == std::string::npos ? "" : rest.c_str() + blank;
    char* after = nullptr;
    const float radius = std::strtof(numbers, &after);
    const float grow = std::strtof(after, nullptr);
    float x, y, z;
    GroupGetCentre(group, &x, &y, &z);
    EventSpawnFireSphere(x, y, z, radius, static_cast<int>(grow));
    return done(9, TRUE);
  } else if (StartsWith(piece, "sound ") || StartsWith(piece, "soundloop ")) {
    const bool loop = StartsWith(piece, "soundloop ");
    CString name;
    CString groupName;
    CString rest(piece.substr(loop ? 10 : 6));
    PopFirstWord(name, rest);
    PopFirstWord(groupName, rest);
    if (g_pSoundManager && name.GetLength() > 0) {
      if (groupName.GetLength() == 0) {
        EventPlaySound(name, nullptr, loop);
      } else if (PolygonGroup* group = world ? GroupFindByName(world, groupName) : nullptr) {
        EventPlaySound(name, group, loop);
      }
    }
    return done(loop ? 11 : 10, TRUE);
  } else if (StartsWith(piece, "soundstop ")) {
    const std::string word = FirstWord(piece.substr(10));
    if (g_pSoundManager) EventStopSound(word.c_str(), world ? GroupFindByName(world, word.c_str()) : nullptr);
    return done(12, TRUE);
  } else if (piece == "beep") {
    if (g_pSoundManager) EventBeep();
    return done(13, TRUE);
  } else if (StartsWith(piece, "log ")) {
    EventShowLevelMessage(piece.c_str() + 4);
    return done(14, TRUE);
  } else if (StartsWith(piece, "activate ")) {
    Activate(FirstWord(piece.substr(9)).c_str());
    return done(15, TRUE);
  } else if (StartsWith(piece, "deactivate ")) {
    Deactivate(FirstWord(piece.substr(11)).c_str());
    return done(16, TRUE);
  } else if (StartsWith(piece, "camerapath ")) {
    StartPath(0, piece.substr(11));
    return done(17, TRUE);
  } else if (StartsWith(piece, "cameratargetpath ")) {
    StartPath(1, piece.substr(17));
    return done(18, TRUE);
  } else if (StartsWith(piece, "playerpath ")) {
    StartPath(2, piece.substr(11));
    return done(19, TRUE);
  } else if (StartsWith(piece, "playertargetpath ")) {
    StartPath(3, piece.substr(17));
    return done(20, TRUE);
  } else if (StartsWith(piece, "stopcamera")) {
    EventStopCameras();
    return done(21, TRUE);
  } else if (StartsWith(piece, "randomevent ")) {
    lastRow_ = 22;
    RandomEvent(piece.substr(12));
    return done(22, TRUE);
  } else if (StartsWith(piece, "execute ")) {
    lastRow_ = 23;
    Execute(FirstWord(piece.substr(8)).c_str());
    return done(23, TRUE);
  } else if (StartsWith(piece, "next_mission ")) {
    const int mission = ParseClampedInt(piece.c_str() + 13);
    CDirectPlayer* player = doc ? doc->GetLocalPlayer() : nullptr;
    if (!IsNetworkGame() && !(player && player->IsDead())) g_NextMissionArchive.Format("M%d.CAN", mission);
    return done(24, TRUE);
  } else if (StartsWith(piece, "end_game")) {
    if (g_pInterface) g_pInterface->RequestEnding();
    return done(25, TRUE);
  } else if (StartsWith(piece, "launch_missile")) {
    if (doc) EventLaunchMissile(piece.c_str() + 14);
    return done(26, TRUE);
  } else if (StartsWith(piece, "spawn_enemy ")) {
    if (g_pEnemyManager) g_pEnemyManager->SpawnEnemy(0, piece.c_str() + 12);
    return done(27, TRUE);
  }

  if (g_pScriptManager && g_pScriptManager->ExecuteCommand(piece.c_str(), source)) return done(28, TRUE);
  if (g_pEnemyManager && g_pEnemyManager->ExecuteOrder(piece.c_str(), source)) return done(29, TRUE);
  if (StartsWith(piece, "create_beacon ")) {
    PolygonGroup* group = world ? GroupFindByName(world, piece.c_str() + 14) : nullptr;
    if (group && doc) doc->SetBeaconGroup(group);
    return done(30, TRUE);
  }
  if (handled) return done(1, TRUE);
  CString line;
  if (source) {
    line.Format("EventManager: Unknown event '%s' from %s\n", piece.c_str(), source);
  } else {
    line.Format("EventManager: Unknown event '%s'\n", piece.c_str());
  }
  OutputDebugString(line);
  return done(31, FALSE);
}
