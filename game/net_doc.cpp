// The document's construction and destruction, and what a new document opens.
#include "game/net_doc.h"

#include <new>

#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/network_layer.h"
#include "game/network_game.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"
#include "world/document/level_group_effects.h"
#include "world/script/script_manager.h"

IMPLEMENT_DYNCREATE_CLASS(CNetDoc, CDocument)

CNetDoc* g_pNetDoc = nullptr;

namespace {

constexpr int kReceiveBufferBytes = 1024;

// Deletes what a manager global points to and clears it.
template <class Manager>
void DeleteManager(Manager*& manager) {
  delete manager;
  manager = nullptr;
}

}  // namespace

CNetDoc::CNetDoc() {
  g_pNetDoc = this;
  g_pEventManager = new CEventManager();

  g_SaveDescription.Empty();
  g_SaveSecondString.Empty();
  g_TypedWordBuffer.Empty();
  // rand() gives 15 bits: the ids start in a different 4096-wide stretch of
  // the 27 bits for each player.
  nextObjectId_ = static_cast<uint32_t>(CrtRand()) << 12;
  InvalidateHudPanels();
  receiveBuffer_ = new uint8_t[kReceiveBufferBytes]();
  receiveCapacity_ = kReceiveBufferBytes;
  InvalidateMessageArea();

  LoadSettings();
  SetTuningDefaults();
  LoadHudArt();
  LoadTextTable();
  ResetPlayerState();
}

CNetDoc::~CNetDoc() {
  CloseConsole();
  ReleaseLevel();
  delete[] receiveBuffer_;
  receiveBuffer_ = nullptr;
  receiveCapacity_ = 0;
  DeleteManager(g_pEventManager);
  texts_.RemoveAll();
  if (g_pNetDoc == this) g_pNetDoc = nullptr;
}

void CNetDoc::ReleaseLevel() {
  gameRunning_ = 0;
  ReleaseCameras();
  FlushDeferredDeletes();
  if (aimMarker_) PolygonDelete(aimMarker_);
  aimMarker_ = nullptr;
  for (BulletHole& slot : holeRing_) {
    if (slot.hole) PolygonDelete(slot.hole);
    slot = BulletHole{};
  }
  holeRingUsed_ = 1;
  holeRingNext_ = 0;
  targetMap_.Clear();
  SetSelectedTarget(0);
  effectPolygons_.RemoveAll();
  flowLines_.clear();
  if (chaseView_) ToggleChaseCamera();
  if (shipInstance_) InstanceDelete(shipInstance_);
  shipInstance_ = nullptr;

  DeleteManager(g_pObjectManager);
  ReleaseEffectCaches();
  DeleteManager(g_pEnemyManager);
  DeleteManager(g_pPathMgr);
  // The script objects point into the world freed below.
  DeleteManager(g_pScriptManager);

  if (localPlayer_) {
    CString line;
    line.Format("korvane: the ship leaves the level at %.0f %.0f %.0f\n", localPlayer_->GetX(), localPlayer_->GetY(),
                localPlayer_->GetZ());
    OutputDebugString(line);
  }
  // What a network game's program last knew of the others: where each ship
  // was, and the scoreboard.
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (player && player != localPlayer_) LogPlayerPlace(player);
  }
  if (IsNetworkGame()) {
    CString lines[10];
    GetScoreLines(lines, 10);
    for (int i = 0; i < scoreSlotCount_ && i < 10; ++i) {
      OutputDebugString(CString("korvane: score: ") + lines[i] + "\n");
    }
  }
  // A record's destructor takes it off the map (and forgets it as the local
  // player), so each is taken off first.
  while (!players_.IsEmpty()) {
    POSITION at = players_.GetStartPosition();
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    players_.RemoveKey(id);
    delete player;
  }
  delete localPlayer_;
  localPlayer_ = nullptr;
  g_Net.Close();

  // The group records point into the world; the callback stops with them.
  ReleaseGroupEffects();
  ReleaseSurfaceAnimation();
  ReleaseLevelObjects();
  while (!respawnPoints_.IsEmpty()) delete[] static_cast<float*>(respawnPoints_.RemoveHead());

  WorldFree(world_);
  if (g_CurrentWorld == world_) g_CurrentWorld = nullptr;
  world_ = nullptr;
  // The level's models and textures go with it; so do the pointers into them.
  EngineFreeAll();
  TextureArchiveClose();
  shipModel_ = rocketModel_ = homingModel_ = nukeBombModel_ = cargoModel_ = sentryModel_ = nullptr;
  for (Model*& debris : debrisModels_) debris = nullptr;
  debrisCount_ = 0;
  for (Texture** slot : {&laserTexture_, &pulseLaserTexture_, &molniaTexture_, &fireWaveTexture_, &bulletTexture_,
                         &bulletHoleTextures_[0], &bulletHoleTextures_[1]}) {
    *slot = nullptr;
  }
  for (Texture** table : {bodySkins_, wingSkins_, energyPulseFrames_}) {
    for (int i = 0; i < 8; ++i) table[i] = nullptr;
  }
}

bool CNetDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  if (g_pInterface && g_pInterface->GetWindow()) g_pInterface->GetWindow()->SetActiveWindow();
  CGameApp* app = GameApp();
  if (app && app->IsStartInProgress()) {
    if (app->IsStartViaBriefing()) {
      if (g_pInterface) g_pInterface->OpenBriefing();
    } else {
      // A start that failed has brought the menus back: the document stays,
      // empty, for them.
      StartLevel();
    }
  } else if (app && app->IsStartupDelayOver() && g_pInterface) {
    g_pInterface->OpenMenu(true);
  }
  ready_ = 1;
  return true;
}

void CNetDoc::SetClockPaused(BOOL paused) {
  clockPaused_ = paused ? 1 : 0;
  SetGameTimePaused(paused);
}

void CNetDoc::SetTuningDefaults() { tuning_ = TuningBlockDefaults(IsNetworkGame()); }

int CNetDoc::RaiseShake(int level) {
  if (level > 1500) level = 1500;
  if (shakeLevel_ < level) shakeLevel_ = level;
  return shakeLevel_;
}

void CNetDoc::RaiseShakeTo(int level) {
  if (shakeLevel_ < level) shakeLevel_ = level;
}
