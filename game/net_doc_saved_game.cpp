// Saving the running game into a slot's file and loading one back into a new
// document (the layout: game/saved_game.h).
//
// A load can only find most damage after the level it names is loaded, so
// the application checks the header before it gives up the running game
// (CGameApp::OpenSavedGame); what the loader finds later ends in an empty
// document with the menus and a message. No file ends the program.
#include <cstring>
#include <exception>
#include <new>

#include "engine/instance.h"
#include "engine/light.h"
#include "engine/model.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "game/app_services.h"
#include "game/build_variant.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/saved_game.h"
#include "game/saved_game_header.h"
#include "media/cd_audio.h"
#include "media/sound_manager.h"
#include "platform/ascii.h"
#include "platform/debug_output.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/enemy_manager.h"
#include "world/document/level_objects.h"
#include "world/enemies/instance_placement.h"
#include "world/objects/object_manager.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

// Called after a save's data is all written and before the new file takes
// the slot's place (tests stand a failure or an ended process in there).
void (*g_SaveGameBeforeReplace)(const char* path) = nullptr;

namespace {

enum SavedGameLine {
  kLineNoScriptManager = 939,
  kLineNoPathManager = 1053,
  kLineNoEnemyManager = 1060,
  kLineNoObjectManager = 1067,
};

// At least a name's length byte, three matrices, type, ten values, visible
// and running.
constexpr uint32_t kGroupRecordMinBytes = 1 + 48 * 4 + 4 + 10 * 4 + 4 + 1;
// A name's length byte, hit points and state.
constexpr uint32_t kDamageableRecordMinBytes = 1 + 4 + 4;
constexpr int32_t kMaxDamageableGroups = 1 << 20;

const char* Caption() { return BuildVariantIsInstalled() ? BuildVariantGet().ProgramName() : "Korvane"; }

void ShowBox(const CString& text) { MessageBox(nullptr, text.GetString(), Caption(), MB_OK | MB_ICONEXCLAMATION); }

bool HasModelFile(const Instance* instance, const char* fileName) {
  return instance->model && AsciiCompareNoCase(instance->model->name, fileName) == 0;
}

template <class Manager>
Manager* MakeManager(Manager*& global, int line) {
  delete global;
  global = new (std::nothrow) Manager();
  if (!global) CGameApp::FatalError(kNetDocSource, line);
  return global;
}

int GroupCount(World* world) {
  int count = 0;
  for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) ++count;
  return count;
}

}  // namespace

bool CNetDoc::LoadTaggedFile(int slot, CString* mission, CString* description, CString* third) {
  return ReadSavedGameHeader(SaveGamePath(slot), mission, description, third);
}

bool CNetDoc::SaveGame(const CString& path) {
  if (!gameRunning_) return false;
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::modeReplace | CFile::typeBinary)) {
    ShowBox(CString(kSaveErrorText) + path);
    return false;
  }
  try {
    CArchive archive(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    StoreSavedGame(archive);
    archive.Close();
    file.Flush();
    if (g_SaveGameBeforeReplace) g_SaveGameBeforeReplace(path);
    file.Close();
  } catch (const std::exception&) {
    // The slot keeps its old file.
    file.Abort();
    ShowBox(CString(kSaveErrorText) + path);
    return false;
  }
  AddMessage(kGameSavedText, -1, FALSE);
  OutputDebugString(CString("korvane: ") + DescribeGameState() + "\n");
  return true;
}

void CNetDoc::StoreSavedGame(CArchive& archive) {
  SavedGameHeader header{g_CurrentMissionArchive, g_SaveDescription, g_SaveSecondString, g_NextMissionArchive};
  SavedGameWriteHeader(archive, header);
  if (g_pScriptManager) {
    g_pScriptManager->SerializeWithWorld(archive, world_);
  } else {
    // No script objects: three empty sequences.
    archive << static_cast<uint8_t>(0) << static_cast<uint8_t>(0) << static_cast<uint8_t>(0);
  }
  archive << static_cast<int32_t>(GroupCount(world_));
  for (PolygonGroup* group = GroupFirst(world_); group; group = GroupNext(group)) SavedGameWriteGroup(archive, group);
  SerializeState(archive);
  if (g_pEventManager) g_pEventManager->Serialize(archive);
  if (g_pPathMgr) g_pPathMgr->SerializePaths(archive);
  if (g_pEnemyManager) g_pEnemyManager->Serialize(archive);
  if (g_pObjectManager) {
    g_pObjectManager->SerializeObjects(archive);
  } else {
    archive.WriteObject(nullptr);
  }
  archive << static_cast<int32_t>(damageableGroups_.GetCount());
  for (POSITION at = damageableGroups_.GetStartPosition(); at;) {
    CString name;
    void* value = nullptr;
    damageableGroups_.GetNextAssoc(at, name, value);
    const auto* entry = static_cast<const DamageableGroup*>(value);
    archive << name << (entry ? entry->hitPoints : 0.0f) << (entry ? entry->countdown : 0);
  }
  if (g_pSoundManager) {
    g_pSoundManager->Serialize(archive);
  } else {
    archive << static_cast<uint32_t>(0);
  }
}

bool CNetDoc::OnOpenDocument(const char* pathName) {
  // 1. The base opens the file and reads nothing (the document's own
  // Serialize is empty).
  if (!CDocument::OnOpenDocument(pathName)) return false;
  // 2, 3. Loading, with the stand-by picture up.
  loading_ = 1;
  if (g_pInterface && g_pInterface->GetWindow()) g_pInterface->GetWindow()->SetActiveWindow();
  StopCdAudio();
  if (g_pSoundManager) g_pSoundManager->StopAll();
  if (g_pInterface) {
    g_pInterface->SetDirectDrawing(true);
    if (CInterfaceWnd* window = g_pInterface->GetWindow()) window->ShowPicture("STDBY.BMP", "INTERFC.CAN", nullptr);
    g_pInterface->SetDirectDrawing(false);
  }
  // 4.
  CFile file;
  if (!file.Open(pathName, CFile::modeRead | CFile::typeBinary)) {
    ShowBox(CString(kLoadErrorText) + pathName);
    AbandonSavedGameLoad(nullptr);
    return false;
  }
  CArchive archive(&file, CArchive::load | CArchive::bNoFlushOnDelete);
  archive.m_pDocument = this;
  try {
    LoadSavedGameBody(archive, pathName);
    archive.Close();
  } catch (const SavedGameRefusal& refusal) {
    AbandonSavedGameLoad(&archive);
    ShowBox(refusal.what());
    return false;
  } catch (const std::exception&) {
    AbandonSavedGameLoad(&archive);
    ShowBox(CString(kDamagedSavedGameText) + pathName);
    return false;
  }
  file.Close();
  PollMessageQueue();

  // 17. The game runs.
  if (g_pInterface) {
    g_pInterface->StartMusic();
    if (CInterfaceWnd* window = g_pInterface->GetWindow()) window->HidePicture(true);
  }
  if (view_) {
    view_->ResetOverlays();
    view_->InvalidateHud();
  }
  loading_ = 0;
  gameRunning_ = 1;
  ClearInputKeys();
  ready_ = 1;
  if (g_pInterface) g_pInterface->ClearBackBuffer();
  OutputDebugString(CString("korvane: saved game ") + pathName + " runs " + g_CurrentMissionArchive + "\n");
  OutputDebugString(CString("korvane: ") + DescribeGameState() + "\n");
  return true;
}

void CNetDoc::LoadSavedGameBody(CArchive& archive, const char* path) {
  // 5, 6. The header, then the level it names.
  PollMessageQueue();
  SavedGameHeader header;
  SavedGameReadHeader(archive, path, &header);
  SavedGameRequireMission(header.mission, path);
  g_CurrentMissionArchive = header.mission;
  g_SaveDescription = header.description;
  g_SaveSecondString = header.second;
  g_NextMissionArchive = header.nextMission;
  // 7, 8. As a network level start: no lines, only the lights the engine
  // keeps for itself.
  LoadLevel();
  // The paths come from the file (step 14); their groups went at the start.
  CNewPathMgr::RemovePathGroups(world_);
  for (WorldPolygon* polygon = world_->firstPolygon; polygon;) {
    WorldPolygon* next = polygon->next;
    if (polygon->vertexCount <= 2) PolygonDelete(polygon);
    polygon = next;
  }
  LightsSeparateSpheres(world_);
  for (Light* light = world_->firstLight; light;) {
    Light* next = light->next;
    if (light->type >= 1 && light->type <= 3) LightDelete(light);
    light = next;
  }
  // 9.
  MakeManager(g_pScriptManager, kLineNoScriptManager)->SerializeWithWorld(archive, world_);
  FindSpinningClocks();
  // 10. The objects and enemies come back from the file instead.
  KeepSavedGameInstances();
  // 11.
  const int32_t groups = SavedGameReadCount(archive, kGroupRecordMinBytes, GroupCount(world_));
  for (int32_t i = 0; i < groups; ++i) SavedGameReadGroup(archive, world_, path);
  // 12.
  SerializeState(archive);
  PollMessageQueue();
  AddMessage(kGameLoadedText, -1, FALSE);
  if (view_) view_->LoadCockpitBitmaps();
  ReinitJoystick();
  // 13. The event manager keeps the flags it read, and only those.
  if (g_pEventManager) {
    const size_t before = archive.LoadedObjects().size();
    try {
      g_pEventManager->Serialize(archive);
    } catch (...) {
      const std::vector<CObject*>& loaded = archive.LoadedObjects();
      for (size_t i = before; i < loaded.size(); ++i) {
        if (!g_pEventManager->HoldsFlag(loaded[i])) delete loaded[i];
      }
      throw;
    }
  }
  // 14.
  MakeManager(g_pPathMgr, kLineNoPathManager)->SerializePaths(archive);
  MakeManager(g_pEnemyManager, kLineNoEnemyManager)->Serialize(archive);
  {
    const size_t before = archive.LoadedObjects().size();
    try {
      MakeManager(g_pObjectManager, kLineNoObjectManager)->SerializeObjects(archive);
    } catch (...) {
      // A list that failed keeps nothing it read.
      const std::vector<CObject*>& loaded = archive.LoadedObjects();
      for (size_t i = before; i < loaded.size(); ++i) delete loaded[i];
      throw;
    }
  }
  // 15. A group the level doesn't know is skipped.
  const int32_t damageable = SavedGameReadCount(archive, kDamageableRecordMinBytes, kMaxDamageableGroups);
  for (int32_t i = 0; i < damageable; ++i) {
    const CString name = SavedGameReadString(archive, kSavedGameMaxName);
    float hitPoints = 0.0f;
    int32_t state = 0;
    archive >> hitPoints >> state;
    void* value = nullptr;
    if (damageableGroups_.Lookup(name, value) && value) {
      auto* entry = static_cast<DamageableGroup*>(value);
      entry->hitPoints = hitPoints;
      entry->countdown = state;
    }
  }
  // 16. Without a sound manager the sounds are read and dropped.
  if (g_pSoundManager) {
    g_pSoundManager->Serialize(archive);
  } else {
    const int32_t sounds = SavedGameReadCount(archive, 1, kMaxDamageableGroups);
    for (int32_t i = 0; i < sounds; ++i) {
      CSoundInstance dropped;
      dropped.Serialize(archive);
    }
  }
}

void CNetDoc::KeepSavedGameInstances() {
  for (Instance* instance = world_->firstInstance; instance;) {
    Instance* next = instance->next;
    if (HasModelFile(instance, "respawn.3ds")) {
      InstanceApplyPlacement(instance);
      auto* matrix = new float[16];
      std::memcpy(matrix, instance->matrix, sizeof(Matrix));
      respawnPoints_.AddTail(matrix);
      InstanceDelete(instance);
    } else if (IsKeptAnimatedInstance(instance)) {
      // Only an instance that stays gets its record.
      AddLevelAnimation(instance);
    } else {
      RemoveAnimatedObject(instance);
      InstanceDelete(instance);
    }
    instance = next;
  }
}

void CNetDoc::AbandonSavedGameLoad(CArchive* archive) {
  if (archive) archive->Abort();
  ReleaseLevel();
  loading_ = 0;
  if (g_pInterface && g_pInterface->GetWindow()) g_pInterface->GetWindow()->HidePicture(true);
  OutputDebugString("korvane: the saved game was not loaded\n");
}
