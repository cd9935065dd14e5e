#include "tools/builder/saved_game_writer.h"

#include "tools/builder/byte_writer.h"

namespace {

// The class library's string: a length of 1, 3 or 7 bytes, the characters.
void ArchiveString(ByteWriter& out, const std::string& text) {
  if (text.size() < 0xFF) {
    out.U8(static_cast<uint8_t>(text.size()));
  } else if (text.size() < 0xFFFE) {
    out.U8(0xFF);
    out.U16(static_cast<uint16_t>(text.size()));
  } else {
    out.U8(0xFF);
    out.U16(0xFFFF);
    out.U32(static_cast<uint32_t>(text.size()));
  }
  out.Bytes(text.data(), text.size());
}

// The reference to an object of a class not seen before in the archive.
void NewClassReference(ByteWriter& out, const std::string& className, uint16_t schema, size_t* nameAt) {
  out.U16(0xFFFF);
  out.U16(schema);
  out.U16(static_cast<uint16_t>(className.size()));
  if (nameAt) *nameAt = out.Size();
  out.Bytes(className.data(), className.size());
}

void Floats(ByteWriter& out, const float* values, int count) {
  for (int i = 0; i < count; ++i) out.F32(values[i]);
}

void Player(ByteWriter& out, const SavedPlayerRecord& p) {
  out.U32(p.id);
  ArchiveString(out, p.shortName);
  ArchiveString(out, p.longName);
  for (int32_t t : p.times) out.I32(t);
  Floats(out, p.block, 29);
  out.U8(p.local);
  out.U8(p.remote);
  out.U8(p.dead);
  out.F32(p.health);
  out.F32(p.shields);
  out.I32(p.smokeTime);
  out.U8(p.exploded);
  out.I32(p.countdown);
  out.U8(p.longDeath);
}

void State(ByteWriter& out, const SavedDocumentState& s, SavedGameLayout* layout) {
  out.U8(s.cockpit);
  out.U8(s.backgroundClearing);
  out.F32(s.depthCueFar);
  out.U8(s.depthCueing);
  out.I32(s.lastStepTime);
  out.U8(s.missionFailed);
  out.U32(s.nextObjectId);
  out.U8(s.reserved);
  out.U8(s.scriptCamera);
  if (s.writePlayer) {
    NewClassReference(out, "CDirectPlayer", 1, &layout->playerClass);
    Player(out, s.player);
  } else {
    out.U16(0);
  }
  out.U8(s.chaseView);
  Floats(out, s.chaseOffset, 3);
  Floats(out, s.cameraVector2, 3);
  for (int i = 0; i < 4; ++i) out.U16(0);  // no path followers
  out.I32(s.steering);
  out.U8(s.fireHeld);
  for (int32_t v : s.hudRedraw) out.I32(v);
  for (int32_t t : s.times) out.I32(t);
  out.U8(s.frozen);
  out.U8(s.pulsingDepthCue);
  out.U8(s.clockPaused);
  out.F32(s.hitFlash);
  out.I32(s.hitFlashTime);
  out.U8(s.autoLowRes);
  for (uint8_t b : s.weapons) out.U8(b);
  for (int32_t v : s.radar) out.I32(v);
  out.I32(s.radarTime);
  out.U8(s.radarShown);
  for (int32_t v : s.ammo) out.I32(v);
  out.F32(s.gunHeat);
  out.F32(s.freon);
  out.I32(s.explosionFlashTime);
  out.F32(s.explosionFlash);
  for (int32_t v : s.targetMarker) out.I32(v);
  out.U8(s.targetMarkerShown);
  out.I32(s.shake);
  out.I32(s.difficulty);
  for (uint8_t b : s.flags) out.U8(b);
  for (uint32_t w : s.tuning) out.U32(w);
  for (int32_t t : s.groupEventTimes) out.I32(t);
  out.U8(s.hazardFlash);
  out.U8(s.shieldHit);
  out.U8(s.homingToggle);
  out.I32(s.countdownMs);
  layout->countdownEvent = out.Size();
  ArchiveString(out, s.countdownEvent);
  for (uint8_t b : s.inventoryFlags) out.U8(b);
  for (int32_t v : s.inventoryAmmo) out.I32(v);
  for (uint8_t b : s.inventoryWeapons) out.U8(b);
  out.F32(s.inventoryFreon);
  out.F32(s.inventoryShields);
}

}  // namespace

std::vector<uint8_t> WriteSavedGame(const SavedGameDescription& game, SavedGameLayout* layout) {
  SavedGameLayout ignored;
  SavedGameLayout& at = layout ? *layout : ignored;
  ByteWriter out;
  out.Bytes(game.tag, 4);
  at.version = out.Size();
  out.U32(game.version);
  at.mission = out.Size();
  ArchiveString(out, game.mission);
  ArchiveString(out, game.description);
  ArchiveString(out, game.second);
  ArchiveString(out, game.nextMission);
  // Script objects: no sensors, doors or movements.
  out.U8(0);
  out.U8(0);
  out.U8(0);
  at.groupCount = out.Size();
  out.I32(static_cast<int32_t>(game.groups.size()));
  at.firstGroup = out.Size();
  for (const SavedGroupRecord& g : game.groups) {
    ArchiveString(out, g.name);
    Floats(out, g.base, 16);
    Floats(out, g.mover, 16);
    Floats(out, g.world, 16);
    out.I32(g.moverType);
    Floats(out, g.values, 10);
    out.I32(g.visible);
    out.U8(g.running);
  }
  at.state = out.Size();
  State(out, game.state, &at);
  // Events: the flags as an empty list, then the timed events.
  at.events = out.Size();
  out.U16(0);
  for (const SavedTimedEvent& e : game.timedEvents) {
    out.U8(1);
    ArchiveString(out, e.command);
    out.I32(e.remainingMs);
  }
  out.U8(0);
  // The paths: an empty list (the level's paths are saved with a running
  // game only).
  out.U16(0);
  // The enemy manager: no enemies, its counters, no beacon or boss parts,
  // and an idle satellite with its default delays.
  out.U16(0);
  for (int i = 0; i < 3; ++i) out.F32(0.0f);
  for (int i = 0; i < 3; ++i) out.I32(0);  // unused, updated, update time
  out.U16(0);                              // no beacon
  out.I32(0);                              // total
  out.I32(0);                              // killed
  for (int i = 0; i < 4; ++i) {
    out.U16(0);  // no boss part
    out.F32(0.0f);
  }
  out.I32(0);  // state
  out.I32(0);  // next state
  for (int i = 0; i < 3; ++i) out.F32(0.0f);
  for (int32_t v : {0, 7000, 0, 2000, 25000}) out.I32(v);
  out.I32(0);  // inactive
  out.I32(0);  // delay
  out.U32(0);  // since the last step
  // The objects: an empty list.
  at.objectList = out.Size();
  NewClassReference(out, "CObjectList", 1, nullptr);
  out.U16(0);
  at.damageableCount = out.Size();
  out.I32(static_cast<int32_t>(game.damageable.size()));
  for (const SavedDamageable& d : game.damageable) {
    ArchiveString(out, d.name);
    out.F32(d.hitPoints);
    out.I32(d.state);
  }
  at.sounds = out.Size();
  out.U32(static_cast<uint32_t>(game.sounds.size()));
  for (const SavedLoopingSound& s : game.sounds) {
    ArchiveString(out, s.name);
    out.U8(1);  // looping
    out.U8(0);  // random pitch
    out.U8(0);  // ducking
    out.U8(1);  // positional
    out.F32(s.x);
    out.F32(s.y);
    out.F32(s.z);
    out.I32(s.volume);
    out.U8(s.moverGroup.empty() ? 0 : 1);
    if (!s.moverGroup.empty()) ArchiveString(out, s.moverGroup);
  }
  return out.Take();
}
