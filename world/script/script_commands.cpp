// The script commands that the event language hands the script manager:
// "verb target [argument]" on a door, sensor or polygon group.
#include <cstdlib>
#include <string>

#include "engine/polygon_group.h"
#include "game/net_doc.h"
#include "platform/ascii.h"
#include "world/script/script_keywords.h"
#include "world/script/script_manager.h"

const KeywordEntry g_ScriptCommandTable[] = {
    {"toggle", kCommandToggle},
    {"open", kCommandOpen},
    {"close", kCommandClose},
    {"freeze", kCommandFreeze},
    {"thaw", kCommandThaw},
    {"deccounter", kCommandDecCounter},
    {"inccounter", kCommandIncCounter},
    {"destroy", kCommandDestroy},
    {"setaxis", kCommandSetAxis},
    {"transfer", kCommandTransfer},
    {"transferpos", kCommandTransfer},
    {"reverse", kCommandReverse},
    {"transferneg", kCommandReverse},
    {"detach", kCommandDetach},
    {"doortype", kCommandDoorType},
    {"enable_sensor", kCommandEnableSensor},
    {"disable_sensor", kCommandDisableSensor},
    {"set_viewradius", kCommandSetViewRadius},
    {"disable", kCommandDisable},
    {"set_sensorradius", kCommandSetSensorRadius},
    {nullptr, kCommandUnknown},
};

namespace {

// Words end at any character whose code is 32 or less, read as unsigned so
// that letters above 127 stay inside words.
bool IsBreak(char c) { return static_cast<unsigned char>(c) <= 32; }

// The word at text[at] (empty when a break is there), at moved past it and
// past the breaks that follow.
std::string TakeWord(const std::string& text, size_t& at) {
  const size_t start = at;
  while (at < text.size() && !IsBreak(text[at])) ++at;
  std::string word = text.substr(start, at - start);
  while (at < text.size() && IsBreak(text[at])) ++at;
  return word;
}

bool ActsOnDoor(int code) {
  return (code >= kCommandToggle && code <= kCommandSetAxis) || code == kCommandDoorType ||
         code == kCommandSetViewRadius || code == kCommandDisable;
}

void SetDoorType(CDoor* door, const std::string& argument) {
  static const struct {
    const char* word;
    DoorKind kind;
  } kKinds[] = {{"none", kDoorKindPlain}, {"auto", kDoorKindAuto}, {"moving", kDoorKindContinuous},
                {"rotating", kDoorKindSpin}};
  for (const auto& entry : kKinds) {
    if (AsciiCompareNoCase(argument.c_str(), entry.word) == 0) door->kind = entry.kind;
  }
}

void ApplyToDoor(CDoor* door, int code, const std::string& argument, World* world) {
  switch (code) {
    case kCommandToggle:
      if (!GroupIsMoving(door->GetGroup())) door->Toggle();
      break;
    case kCommandOpen:
      door->SetOpen(TRUE);
      break;
    case kCommandClose:
      door->SetOpen(FALSE);
      break;
    case kCommandFreeze:
      door->Freeze(TRUE);
      break;
    case kCommandThaw:
      door->Freeze(FALSE);
      break;
    case kCommandDecCounter:
      door->DecCounter();
      break;
    case kCommandIncCounter:
      door->IncCounter();
      break;
    case kCommandDestroy:
      if (g_pNetDoc && door->GetGroup()) g_pNetDoc->DestroyLevelObject(door->GetGroup());
      break;
    case kCommandSetAxis: {
      PolygonGroup* axisGroup = world ? GroupFindByName(world, argument.c_str()) : nullptr;
      WorldPolygon* line = GroupFirstPolygon(axisGroup);
      if (line && line->vertexCount >= 2) {
        const PolygonVertex& a = line->vertices[0];
        const PolygonVertex& b = line->vertices[1];
        door->SetAxis({a.x, a.y, a.z}, {b.x, b.y, b.z});
      }
      break;
    }
    case kCommandDoorType:
      SetDoorType(door, argument);
      break;
    case kCommandSetViewRadius:
      door->SetViewRadius(static_cast<float>(std::atof(argument.c_str())));
      break;
    case kCommandDisable:
      door->SetViewRadius(0.0f);
      door->Freeze(TRUE);
      break;
    default:
      break;
  }
}

void ApplyToGroup(PolygonGroup* group, int code, const std::string& argument, World* world) {
  switch (code) {
    case kCommandDestroy:
      if (g_pNetDoc) g_pNetDoc->DestroyLevelObject(group);
      break;
    case kCommandTransfer:
    case kCommandReverse: {
      // The words act on the group's mover, so a door in the slot runs too.
      auto* object = static_cast<CScriptNodeObject*>(group->scriptObject);
      if (!object) break;
      CMovement* movement = dynamic_cast<CMovement*>(object);
      if (code == kCommandTransfer) {
        if (movement) {
          movement->Forward();
        } else {
          MoverRunForward(group);
        }
      } else if (movement) {
        movement->Reverse();
      } else {
        MoverRunReverse(group);
      }
      WorldRebuildGroups(world);
      if (PolygonGroup* carried = world ? GroupFindByName(world, argument.c_str()) : nullptr) {
        GroupSetParent(carried, group, 1);
      }
      break;
    }
    case kCommandDetach:
      GroupSetParent(group, nullptr, 1);
      break;
    default:
      // A door word aimed at a plain group is accepted and ignored.
      break;
  }
}

}  // namespace

BOOL CScriptManager::ExecuteCommand(const char* text, const char* /*source*/) {
  const std::string command(text ? text : "");
  size_t at = 0;
  const std::string verb = TakeWord(command, at);
  const std::string target = TakeWord(command, at);
  const std::string argument = TakeWord(command, at);
  const int code = LookupKeyword(verb.c_str(), g_ScriptCommandTable);
  if (code == kCommandUnknown) return FALSE;

  if (code == kCommandEnableSensor || code == kCommandDisableSensor || code == kCommandSetSensorRadius) {
    CSensor* sensor = FindSensorByName(target.c_str());
    if (!sensor) return FALSE;
    if (code == kCommandSetSensorRadius) {
      sensor->SetRadius(static_cast<float>(std::atof(argument.c_str())));
    } else {
      sensor->Enable(code == kCommandEnableSensor);
    }
    return TRUE;
  }

  World* world = world_ ? world_ : (g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr);
  const bool groupOnly = code == kCommandTransfer || code == kCommandReverse || code == kCommandDetach;
  if (!groupOnly) {
    if (CDoor* door = FindDoorByName(target.c_str())) {
      if (ActsOnDoor(code)) ApplyToDoor(door, code, argument, world);
      return TRUE;
    }
  }
  PolygonGroup* group = world ? GroupFindByName(world, target.c_str()) : nullptr;
  if (!group) return FALSE;
  ApplyToGroup(group, code, argument, world);
  return TRUE;
}
