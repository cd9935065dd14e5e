// The user messages of other players, each to the factory or service that
// local play uses. The receive path has checked each message's length for
// its type (and action) before it gets here, so the handlers read their
// fields without further tests.

#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "world/objects/back_pack.h"
#include "world/objects/object_manager.h"
#include "world/objects/supply.h"
#include "world/script/door.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"
#include "world/script/sensor.h"

namespace {

// The words from offset first on, one float each.
void ReadFloats(const NetMessageView& m, size_t first, float* out, int count) {
  for (int i = 0; i < count; ++i) out[i] = m.F(first + 4 * static_cast<size_t>(i));
}

void OnMissileMessage(CNetDoc& doc, const NetMessageView& m, Instance* ship) {
  if (m.Action() != 1) return;
  float v[6];
  ReadFloats(m, 32, v, 6);
  const float damage = m.F(68);
  if (m.Type() == 0x4D08) {
    doc.LaunchSentryMissile(m.Owner(), ship, v[0], v[1], v[2], v[3], v[4], v[5], damage);
  } else if (m.W(24) || m.W(28)) {
    doc.LaunchHomingMissile(m.Owner(), ship, m.W(24), m.W(28), v[0], v[1], v[2], v[3], v[4], v[5], damage);
  } else {
    doc.LaunchMissile(m.Owner(), ship, v[0], v[1], v[2], v[3], v[4], v[5], damage);
  }
}

void OnExplosionMessage(CNetDoc& doc, const NetMessageView& m) {
  if (m.Action() != 1) return;
  if (m.Type() == 0x4D03) {
    doc.SpawnSmallExplosion(m.Owner(), m.F(20), m.F(24), m.F(28));
  } else {
    doc.SpawnExplosion(m.Owner(), m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), false, true, m.B(40), m.W(44));
  }
}

void OnBombMessage(CNetDoc& doc, const NetMessageView& m) {
  if (m.Action() != 1) return;
  if (m.Type() == 0x4D09) {
    doc.SpawnBomb(m.Owner(), m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.B(44));
  } else {
    doc.DeploySentry(m.Owner(), m.F(20), m.F(24), m.F(28));
  }
}

void OnProjectileMessage(CNetDoc& doc, const NetMessageView& m, Instance* ship) {
  if (m.Action() != 1) return;
  if (m.Type() == 0x4D2F) {
    doc.SpawnFireBall(m.Owner(), ship, m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.B(48), m.F(44));
  } else if (m.Type() == 0x4D3C) {
    doc.SpawnRubberBall(m.Owner(), ship, m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.F(44));
  }  // 0x4D0B, a bullet, needs nothing
}

void OnShotMessage(CNetDoc& doc, const NetMessageView& m, Instance* ship) {
  if (m.Action() != 1) return;
  const DPID o = m.Owner();
  switch (m.Type()) {
    case 0x4D15: doc.FireHitscan(o, ship, m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.F(44)); break;
    case 0x4D16: doc.FireBullet(o, ship, m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.F(44), m.B(48)); break;
    default: doc.FireAcceleratorSlug(o, ship, m.F(20), m.F(24), m.F(28), m.F(32), m.F(36), m.F(40), m.F(44)); break;
  }
}

void OnArcMessage(CNetDoc& doc, const NetMessageView& m, Instance* ship) {
  if (m.Action() != 1) return;
  static constexpr size_t kOrder[11] = {44, 48, 52, 20, 24, 28, 32, 36, 40, 56, 60};
  float words[11];
  for (int i = 0; i < 11; ++i) words[i] = m.F(kOrder[i]);
  doc.DischargeArc(m.Owner(), ship, words, m.B(64), m.B(65));
}

void OnLightMessage(CNetDoc& doc, const NetMessageView& m) {
  if (m.Action() != 1) return;
  if (m.Type() == 0x4D27) {
    doc.SpawnFlashLight(m.Owner(), m.F(20), m.F(24), m.F(28), m.F(32), m.F(36));
  } else {
    doc.SpawnRespawnLight(m.Owner(), m.F(20), m.F(24), m.F(28));
    doc.CheckTelefrag(m.F(20), m.F(24), m.F(28));
  }
}

void OnSupplyMessage(const NetMessageView& m) {
  if (!g_pObjectManager) return;
  CGenericObject* found = g_pObjectManager->FindObject(m.Owner(), m.W(12));
  auto* supply = dynamic_cast<CCommonSupply*>(found);
  if (found && !supply) return;
  switch (m.Action()) {
    case 1:
      g_pObjectManager->RemoveObject(supply);
      g_pObjectManager->AddObject(new CCommonSupply(m.Owner(), m.data));
      break;
    case 3: g_pObjectManager->RemoveObject(supply); break;
    case 4:
      if (supply) supply->Hide(false);
      break;
    case 5:
      if (supply) supply->Show(false);
      break;
    default: break;
  }
}

void OnBackPackMessage(const NetMessageView& m) {
  if (!g_pObjectManager) return;
  CGenericObject* found = g_pObjectManager->FindObject(m.Owner(), m.W(12));
  auto* pack = dynamic_cast<CBackPack*>(found);
  if (found && !pack) return;
  if (m.Action() == 1) {
    g_pObjectManager->RemoveObject(pack);
    g_pObjectManager->AddObject(new CBackPack(m.Owner(), m.data));
  } else if (m.Action() == 3 || m.Action() == 4) {
    g_pObjectManager->RemoveObject(pack);
  }
}

}  // namespace

void CNetDoc::DispatchUserMessage(const NetMessageView& m) {
  const CDirectPlayer* owner = FindPlayer(m.Owner());
  Instance* ship = owner ? owner->GetInstance() : nullptr;
  switch (m.handler) {
    case NetHandler::kIgnored: return;
    case NetHandler::kMissile: return OnMissileMessage(*this, m, ship);
    case NetHandler::kExplosion: return OnExplosionMessage(*this, m);
    case NetHandler::kBomb: return OnBombMessage(*this, m);
    case NetHandler::kProjectile: return OnProjectileMessage(*this, m, ship);
    case NetHandler::kShot: return OnShotMessage(*this, m, ship);
    case NetHandler::kArc: return OnArcMessage(*this, m, ship);
    case NetHandler::kSmoke:
      if (m.Action() == 1) SpawnSmoke(m.Owner(), 1, m.F(20), m.F(24), m.F(28), m.F(32));
      return;
    case NetHandler::kPulse: return SpawnEnergyPulse(m.Owner(), m.F(20), m.F(24), m.F(28), m.F(32), m.F(36));
    case NetHandler::kLight: return OnLightMessage(*this, m);
    case NetHandler::kSupply: return OnSupplyMessage(m);
    case NetHandler::kBackPack: return OnBackPackMessage(m);
    case NetHandler::kGameState: return OnGameStateMessage(m);
    case NetHandler::kGroupState: return OnGroupStateMessage(m);
    case NetHandler::kScriptEvent:
      if (m.Action() == 0 && g_pEventManager) g_pEventManager->RaiseEvent(m.Text(), "event from network");
      return;
    case NetHandler::kSensorState:
      if (m.Action() == 2 && g_pScriptManager) {
        if (CSensor* sensor = g_pScriptManager->FindSensorByHash(m.W(12))) sensor->RestoreState(m.data, m.size);
      }
      return;
    case NetHandler::kDoorState:
      if (m.Action() == 2 && g_pScriptManager) {
        if (CDoor* door = g_pScriptManager->FindDoorByHash(m.W(12))) door->RestoreState(m.data, m.size);
      }
      return;
    case NetHandler::kKill: return OnKillMessage(m);
    case NetHandler::kChat:
      AddMessage(m.Text(), NearestPaletteIndex(220, 220, 0), FALSE);
      return;
    case NetHandler::kShield:
      if (m.Action() != 1) return;
      if (m.Type() == 0x4D37) {
        SpawnPlayerVortexShield(m.Owner());
      } else {
        SpawnStaticShield(m.Owner());
      }
      return;
    case NetHandler::kDefault: return;  // unknown and unused types are dropped
  }
}
