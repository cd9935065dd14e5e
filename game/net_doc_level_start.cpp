// Starting a level: the loaded mission becomes a running game. The world
// simulation's managers are made, the session joined or the local player
// made, the level's marker instances become sensors and the ship's start,
// and the player's ship is created and put at its start.
#include <algorithm>
#include <cstring>
#include <new>

#include "engine/instance.h"
#include "engine/light.h"
#include "engine/model.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "game/app_services.h"
#include "game/build_variant.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/joystick.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/cd_audio.h"
#include "media/sound_manager.h"
#include "platform/ascii.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_manager.h"
#include "world/document/level_objects.h"
#include "world/enemies/instance_placement.h"
#include "world/objects/object_manager.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

Matrix g_PlayerStartMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

namespace {

enum LevelStartLine {
  kLineNoScriptManager = 4767,
  kLineNoObjectManager = 4810,
  kLineNoPathManager = 4817,
  kLineNoEnemyManager = 4824,
  kLineNoShipInstance = 4894,
};

constexpr const char* kNetworkStartFailed =
    "Could not start or join the network game. Check the connection and the session, then try again.";

// A manager made into its global; a failed allocation ends the program.
template <class Manager>
Manager* MakeManager(Manager*& global, int line) {
  global = new (std::nothrow) Manager();
  if (!global) CGameApp::FatalError(kNetDocSource, line);
  return global;
}

bool IsModelFile(const Instance* instance, const char* fileName) {
  return instance->model && AsciiCompareNoCase(instance->model->name, fileName) == 0;
}

void RaiseStartEvent(const Instance* start, const char* property) {
  const char* text = InstanceGetProperty(start, property);
  if (text && g_pEventManager) g_pEventManager->RaiseEvent(text, "player start");
}

}  // namespace

bool CNetDoc::StartLevel() {
  StopCdAudio();
  // Sounds that follow the old world's groups go with it.
  if (g_pSoundManager) g_pSoundManager->StopAll();
  loading_ = 1;
  if (g_pInterface) {
    g_pInterface->SetDirectDrawing(true);
    g_pInterface->ApplyPalette();
    if (CInterfaceWnd* window = g_pInterface->GetWindow()) window->ShowPicture("STDBY.BMP", "INTERFC.CAN", nullptr);
    g_pInterface->SetDirectDrawing(false);
  }

  LoadLevel();
  if (g_pInterface) g_pInterface->ClearBackBuffer();

  MakeManager(g_pScriptManager, kLineNoScriptManager)->BuildFromScene();
  FindSpinningClocks();
  if (view_) view_->LoadCockpitBitmaps();
  ReinitJoystick();

  CGameApp* app = GameApp();
  if (app && app->IsNetworkLaunch()) {
    if (!g_Net.ConnectFromLobby() && !g_Net.StartOrJoin()) return AbandonStart(kNetworkStartFailed);
    PollMessageQueue();
  } else if (!CreateLocalPlayer()) {
    return AbandonStart(nullptr);
  }

  // One difficulty range for the whole program: 0 in a network game, 1..3
  // in single play.
  const bool network = IsNetworkGame();
  if (g_pInterface) {
    g_pInterface->SetDifficulty(network ? 0 : std::clamp(g_pInterface->GetDifficulty(), 1, 3));
  }
  if (network) {
    AddMessage(g_Net.IsDeliveryGuaranteed() ? "Using reliable transport" : "Emulating guaranteed delivery", -1, FALSE);
    // The document was made before the session opened, with the single-play
    // tuning: in a network game the autocannon's shots do double damage.
    SetTuningDefaults();
  }

  MakeManager(g_pObjectManager, kLineNoObjectManager);
  SetUpLevelObjects();
  MakeManager(g_pPathMgr, kLineNoPathManager)->BuildFromScene(world_);
  MakeManager(g_pEnemyManager, kLineNoEnemyManager);

  if (network) {
    // Axis and path lines stay out of a network game's world.
    for (WorldPolygon* polygon = world_->firstPolygon; polygon;) {
      WorldPolygon* next = polygon->next;
      if (polygon->vertexCount <= 2) PolygonDelete(polygon);
      polygon = next;
    }
  }
  PlaceSensors();
  PlacePlayerStarts();

  shipInstance_ = InstanceCreate(world_, shipModel_, 0, 0, 0, 0, 0, 0, 0);
  if (!shipInstance_) CGameApp::FatalError(kNetDocSource, kLineNoShipInstance);
  if (localPlayer_) {
    localPlayer_->SetRadius(shipInstance_->radius);
    ApplyShipSkin(shipInstance_, localPlayer_->GetLongName());
  }

  LightsSeparateSpheres(world_);
  for (Light* light = world_->firstLight; light;) {
    Light* next = light->next;
    if (light->type >= 1 && light->type <= 3) LightDelete(light);
    light = next;
  }
  PollMessageQueue();

  // The mission's music; a network game's only when it was started through
  // the briefing, which is the network work's to tell.
  if (!network && g_pInterface) g_pInterface->StartMusic();
  if (g_pInterface) {
    if (CInterfaceWnd* window = g_pInterface->GetWindow()) window->HidePicture(true);
  }
  if (view_) {
    view_->ResetOverlays();
    view_->InvalidateHud();
    // The level's first step counts from here: the menus and the load before
    // it are no game time of this level.
    view_->RestartStepClock();
  }

  loading_ = 0;
  gameRunning_ = 1;
  ClearInputKeys();
  if (localPlayer_) localPlayer_->Respawn();
  ResetPlayerState();
  OutputDebugString(CString("korvane: level ") + g_CurrentMissionArchive + " runs\n");
  return true;
}

int CNetDoc::ReinitJoystick() {
  InitJoystick();
  return 1;
}

void CNetDoc::PlaceSensors() {
  for (Instance* instance = world_->firstInstance; instance;) {
    Instance* next = instance->next;
    if (IsModelFile(instance, "sensor.3ds")) {
      InstanceApplyPlacement(instance);
      if (g_pScriptManager) g_pScriptManager->AddSensor(instance);
      RemoveAnimatedObject(instance);
      InstanceDelete(instance);
    }
    instance = next;
  }
}

void CNetDoc::PlacePlayerStarts() {
  const bool network = IsNetworkGame();
  const int difficulty = g_pInterface ? g_pInterface->GetDifficulty() : 1;
  char difficultyEvent[] = "event0";
  difficultyEvent[5] = static_cast<char>('0' + difficulty);
  for (Instance* instance = world_->firstInstance; instance;) {
    Instance* next = instance->next;
    if (IsModelFile(instance, "player.3ds")) {
      InstanceApplyPlacement(instance);
      if (localPlayer_) std::memcpy(localPlayer_->GetOrientation(), instance->matrix, sizeof(Matrix));
      std::memcpy(g_PlayerStartMatrix, instance->matrix, sizeof(Matrix));
      RaiseStartEvent(instance, "event");
      RaiseStartEvent(instance, difficultyEvent);
      RemoveAnimatedObject(instance);
      InstanceDelete(instance);
    } else if (network && !(g_pObjectManager && g_pObjectManager->IsObjectMesh(instance)) &&
               !IsKeptAnimatedInstance(instance)) {
      // As a saved-game load keeps them: the animated static objects stay.
      RemoveAnimatedObject(instance);
      InstanceDelete(instance);
    }
    instance = next;
  }
}

bool CNetDoc::AbandonStart(const char* message) {
  loading_ = 0;
  if (g_pInterface && g_pInterface->GetWindow()) g_pInterface->GetWindow()->HidePicture(true);
  if (message) {
    const char* caption = BuildVariantIsInstalled() ? BuildVariantGet().ProgramName() : "Korvane";
    MessageBox(nullptr, message, caption, MB_ICONEXCLAMATION);
  }
  OutputDebugString("korvane: the level start was abandoned\n");
  if (g_pInterface) g_pInterface->OpenMenu(false);
  return false;
}
