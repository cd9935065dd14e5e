// Level-group effects: the groups' properties (hit points, buttons, hazard
// zones, arcs, lights), the group callback and the per-frame buttons, arcs
// and healing.
#include "world/document/level_group_effects.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <cstdint>
#include <cstdlib>

#include "engine/instance.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "platform/crt_random.h"
#include "platform/framework/cstring.h"
#include "world/script/event_manager.h"
#include "world/script/script_object.h"

int g_CollisionSource = kCollisionSourceOther;
float g_BlastStrength = 0.0f;
World* g_CallbackWorld = nullptr;

const char* const g_GroupContactProperties[kGroupContactPropertyCount] = {
    "damaged",       "nuked",        "heal_ship",  "damage_ship",     "next_info_group", "damage_event",
    "damageevent",   "destroy_event", "destroyevent", "touch_event",   "touchevent",      "toggle_event",
    "toggleevent",   "missile_event", "missileevent", "hitpoints",     "structural_hits", "button_event",
};

namespace {

constexpr int kContactCapMs = 200;
constexpr float kHealReachSquared = 900.0f;

// The first of the names the group has.
const char* FirstProperty(PolygonGroup* group, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (const char* text = GroupGetProperty(group, name)) return text;
  }
  return nullptr;
}

float DistanceSquared(const Vec3& a, const Vec3& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return dx * dx + dy * dy + dz * dz;
}

Vec3 LoadCentre(PolygonGroup* group) {
  Vec3 c = {0, 0, 0};
  GroupComputeCentre(group, &c.x, &c.y, &c.z);
  return c;
}

// In a network game the other players raise the text too; then it is
// raised here. FALSE when the event language does not know it.
BOOL RaiseGroupText(CNetDoc* doc, const char* text, PolygonGroup* group) {
  if (doc && IsNetworkGame()) doc->SendTextMessage(text, 0);
  if (!g_pEventManager) return FALSE;
  return g_pEventManager->RaiseEvent(CString(text), group->name ? group->name : "");
}

// An unknown text gets its message, which goes nowhere.
void DropUnknown(const char* property, PolygonGroup* group, const char* text) {
  CString message;
  message.Format("Unknown event from '%s' property of group '%s': %s\n", property, group->name ? group->name : "",
                 text);
}

void PressButton(CNetDoc* doc, PolygonGroup* group) {
  void*& slot = doc->Buttons()[group->name ? group->name : ""];
  uint32_t bits = ButtonWithFrames(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(slot)), 0);
  const bool wasReleased = !ButtonIsPressed(bits);
  if (wasReleased) bits = (bits & ~3u) | kButtonPressed;
  slot = reinterpret_cast<void*>(static_cast<uintptr_t>(bits));
  if (!wasReleased) return;
  if (const char* text = GroupGetProperty(group, "button_event")) {
    if (!RaiseGroupText(doc, text, group)) DropUnknown("button_event", group, text);
  }
  const char* next = GroupGetProperty(group, "next_state_group");
  PolygonGroup* other = next && g_CallbackWorld ? GroupFindByName(g_CallbackWorld, next) : nullptr;
  if (!other) return;
  doc->SetObjectActive(group, false);
  doc->SetObjectActive(other, true);
  void* otherSlot = nullptr;
  if (other->name && doc->Buttons().Lookup(other->name, otherSlot)) {
    const uint32_t otherBits = ButtonWithFrames(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(otherSlot)), 0);
    doc->Buttons()[other->name] = reinterpret_cast<void*>(static_cast<uintptr_t>((otherBits & ~3u) | kButtonPressed));
  }
}

}  // namespace

uint32_t ButtonAfterFrame(uint32_t bits) {
  if (!ButtonIsPressed(bits)) return bits;
  const uint32_t frames = ButtonFrames(bits) + 1;
  bits = ButtonWithFrames(bits, frames);
  if (frames >= kButtonReleaseFrames) bits &= ~3u;
  return bits;
}

float GroupHitPoints(PolygonGroup* group) {
  if (const char* text = GroupGetProperty(group, "hitpoints")) return static_cast<float>(std::atof(text));
  if (const char* text = GroupGetProperty(group, "structural_hits")) return 15.0f * static_cast<float>(std::atoi(text));
  if (GroupGetProperty(group, "damaged") || GroupGetProperty(group, "nuked")) return 5.0f;
  return -1.0f;
}

void ParseLevelGroups(World* world, int32_t now, const GroupEffectRecords& records) {
  for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
    const char* name = group->name ? group->name : "";
    if (std::any_of(std::begin(g_GroupContactProperties), std::end(g_GroupContactProperties),
                    [group](const char* key) { return GroupGetProperty(group, key) != nullptr; })) {
      GroupSetCallback(group, &CNetDoc::OnGroupEvent);
    }
    const float hitPoints = GroupHitPoints(group);
    if (hitPoints > 0.00001f) {
      void* old = nullptr;
      if (records.structural->Lookup(name, old)) delete static_cast<DamageableGroup*>(old);
      (*records.structural)[name] = new DamageableGroup{hitPoints, group, -1};
    }
    if (GroupGetProperty(group, "button_event")) (*records.buttons)[name] = nullptr;
    if (const char* text = GroupGetProperty(group, "radioactivity")) {
      const Vec3 c = LoadCentre(group);
      records.hazardZones->AddTail(new HazardZone{c.x, c.y, c.z, static_cast<float>(std::atof(text)), now, group});
    }
    if (const char* targetName = GroupGetProperty(group, "arc_to")) {
      if (PolygonGroup* target = GroupFindByName(world, targetName)) {
        auto number = [group](const char* key, float fallback) {
          const char* text = GroupGetProperty(group, key);
          return text ? static_cast<float>(std::atof(text)) : fallback;
        };
        const float rate = number("rate", 5.0f);
        const float view = number("viewradius", 500.0f);
        const float distance = std::sqrt(DistanceSquared(LoadCentre(group), LoadCentre(target)));
        records.arcs->AddTail(new GroupArc{group, target, number("segment_size", 10.0f), number("damage", 10.0f),
                                           number("radius", 1.2f * distance), rate > 0.0f ? 1.0f / rate : 1.0f,
                                           view * view, now});
      }
    }
    if (const char* text = GroupGetProperty(group, "light")) {
      records.lights->AddTail(new AttachedLight{group, static_cast<float>(std::atof(text)), nullptr});
    }
  }
}

void FreeLevelGroupRecords(const GroupEffectRecords& records) {
  for (POSITION at = records.structural->GetStartPosition(); at;) {
    CString name;
    void* value = nullptr;
    records.structural->GetNextAssoc(at, name, value);
    delete static_cast<DamageableGroup*>(value);
  }
  records.structural->RemoveAll();
  records.buttons->RemoveAll();
  for (POSITION at = records.hazardZones->GetHeadPosition(); at;) {
    delete static_cast<HazardZone*>(records.hazardZones->GetNext(at));
  }
  records.hazardZones->RemoveAll();
  for (POSITION at = records.arcs->GetHeadPosition(); at;) delete static_cast<GroupArc*>(records.arcs->GetNext(at));
  records.arcs->RemoveAll();
  for (POSITION at = records.lights->GetHeadPosition(); at;) {
    delete static_cast<AttachedLight*>(records.lights->GetNext(at));
  }
  records.lights->RemoveAll();
}

int StepGroupArc(GroupArc& arc, int32_t now, const Vec3& ship, int (*random)(), ArcStrike out[2]) {
  const int32_t dt = GameTimeSince(arc.lastTime, now);
  if (static_cast<float>(dt) * 0.001f < arc.interval) return 0;
  const float jitter = 1.0f + 0.2f * static_cast<float>(random()) / 32767.0f;
  arc.lastTime = GameTimeAdd(arc.lastTime, static_cast<int32_t>(static_cast<float>(dt) * jitter));
  if (!GroupIsVisible(arc.source) || !GroupIsVisible(arc.target)) return 0;
  Vec3 a, b;
  GroupGetCentre(arc.source, &a.x, &a.y, &a.z);
  GroupGetCentre(arc.target, &b.x, &b.y, &b.z);
  const float toA = DistanceSquared(a, ship);
  if (toA > arc.viewRadiusSquared) return 0;
  // The damage formula as the level designers tuned it: per second of time
  // since the last discharge.
  const float damage = arc.damage * static_cast<float>(dt) * 0.001f;
  const float reach = arc.radius * arc.radius;
  if (toA < reach || DistanceSquared(b, ship) < reach) {
    out[0] = {a, ship, damage, true};
    out[1] = {b, ship, damage, true};
    return 2;
  }
  if (random() % 2 == 0) {
    out[0] = {b, a, damage, false};
  } else {
    out[0] = {a, b, damage, false};
  }
  return 1;
}

float ContactAmount(float perSecond, uint32_t& timer, int32_t now) {
  int32_t dt = GameTimeSince(static_cast<int32_t>(timer), now);
  timer = static_cast<uint32_t>(now);
  dt = std::clamp(dt, 0, kContactCapMs);
  return perSecond * static_cast<float>(dt) * 0.001f;
}

void CNetDoc::ParseGroupProperties() {
  g_CallbackWorld = world_;
  if (!world_) return;
  ParseLevelGroups(world_, GetGameTime(), GroupEffects());
}

GroupEffectRecords CNetDoc::GroupEffects() {
  return {&damageableGroups_, &buttons_, &hazardZones_, &arcs_, &attachedLights_};
}

void CNetDoc::ReleaseGroupEffects() {
  g_CallbackWorld = nullptr;
  FreeLevelGroupRecords(GroupEffects());
}

void CNetDoc::UpdateButtons() {
  for (POSITION at = buttons_.GetStartPosition(); at;) {
    CString name;
    void* value = nullptr;
    buttons_.GetNextAssoc(at, name, value);
    const uint32_t bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
    const uint32_t next = ButtonAfterFrame(bits);
    if (next != bits) buttons_[name] = reinterpret_cast<void*>(static_cast<uintptr_t>(next));
  }
}

void CNetDoc::UpdateArcs() {
  if (!localPlayer_) return;
  Vec3 ship;
  localPlayer_->GetPosition(&ship.x, &ship.y, &ship.z);
  const int32_t now = GetGameTime();
  for (POSITION at = arcs_.GetHeadPosition(); at;) {
    GroupArc* arc = static_cast<GroupArc*>(arcs_.GetNext(at));
    ArcStrike strikes[2];
    const int count = StepGroupArc(*arc, now, ship, &CrtRand, strikes);
    for (int i = 0; i < count; ++i) {
      const ArcStrike& s = strikes[i];
      // No owner and no source instance; hit effects off.
      const float words[11] = {s.to.x - s.from.x, s.to.y - s.from.y, s.to.z - s.from.z, s.from.x, s.from.y,
                               s.from.z, s.to.x, s.to.y, s.to.z, arc->segmentLength, s.damage};
      DischargeArc(0, nullptr, words, 0, s.collide ? 1 : 0);
    }
  }
}

void CNetDoc::HealFromObjects() {
  if (!world_ || !localPlayer_) return;
  Vec3 ship;
  localPlayer_->GetPosition(&ship.x, &ship.y, &ship.z);
  for (Instance* instance = world_->firstInstance; instance; instance = instance->next) {
    const char* text = InstanceGetProperty(instance, "heal_ship");
    if (!text || DistanceSquared({instance->x, instance->y, instance->z}, ship) >= kHealReachSquared) continue;
    const float amount = ContactAmount(static_cast<float>(std::atof(text)), groupEventTimers_[0], GetGameTime());
    if (amount != 0.0f) localPlayer_->AddHealth(amount);
  }
}

void CNetDoc::OnGroupEvent(PolygonGroup* group, int code) {
  CNetDoc* doc = g_pNetDoc;
  if (!group || !g_CallbackWorld) return;
  if (code == kGroupMoverEnded) {
    ForwardMoverFinished(group);
    return;
  }
  // Hidden groups ignore every contact.
  if (!GroupIsVisible(group) || !doc) return;
  if (code == kGroupTouched) {
    doc->DentObject(group, g_BlastStrength);
    return;
  }
  if (code != kGroupPushed && code != kGroupTrigger) return;
  if (code == kGroupPushed) {
    if (g_CollisionSource == kCollisionSourceMissile) {
      if (const char* text = FirstProperty(group, {"missile_event", "missileevent"})) {
        if (!RaiseGroupText(doc, text, group)) DropUnknown("missile_event", group, text);
      }
    }
    void* button = nullptr;
    if (g_CollisionSource == kCollisionSourceShip && group->name && doc->buttons_.Lookup(group->name, button)) {
      PressButton(doc, group);
    }
  }
  if (const char* text = FirstProperty(group, {"toggle_event", "toggleevent", "touch_event", "touchevent"})) {
    RaiseGroupText(doc, text, group);
  }
  if (g_CollisionSource != kCollisionSourceShip || !doc->localPlayer_) return;
  const int32_t now = GetGameTime();
  if (const char* text = GroupGetProperty(group, "heal_ship")) {
    doc->localPlayer_->AddHealth(ContactAmount(static_cast<float>(std::atof(text)), doc->groupEventTimers_[0], now));
  }
  if (const char* text = FirstProperty(group, {"damage_ship", "damageship"})) {
    doc->localPlayer_->TakeZoneDamage(
        ContactAmount(static_cast<float>(std::atof(text)), doc->groupEventTimers_[1], now));
  }
}

void InstanceCollisionCallback(Instance* /*instance*/, int /*code*/) {}
