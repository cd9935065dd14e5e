// Loading a mission: its archive into the engine (textures under the level's
// budget, models, the world, the file id), then the document binds the
// models and textures it uses by name. A mission that lacks any of them
// can't be played: every failure ends the program with its own line.
#include <cstdio>
#include <string>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/lighting.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "game/app_services.h"
#include "game/build_variant.h"
#include "game/data_archive_locator.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/ascii.h"
#include "platform/paths.h"

namespace {

enum LevelLoadLine {
  kLineNoTextures = 552,
  kLineNoObjects = 558,
  kLineBadObjects = 559,
  kLineNoWorld = 564,
  kLineWorldMissing = 565,
  kLineBadWorld = 566,
  kLineNoFileId = 568,
  kLineShortFileId = 569,
  kLineCloseFailed = 572,
  kLineNoHero = 575,
  kLineNoRocket = 577,
  kLineNoSentry = 578,
  kLineNoHoming = 579,
  kLineNoNukeBomb = 580,
  kLineNoCargo = 581,
  kLineNoBodySkin = 659,
  kLineNoWingSkin = 665,
  kLineNoLaser = 671,
  kLineNoPulseLaser = 675,
  kLineNoFireWave = 679,
  kLineNoBullet = 683,
  kLineNoBulletHole1 = 687,
  kLineNoBulletHole2 = 691,
  kLineNoMolnia = 695,
  kLineNoEnergyPulse = 700,
};

constexpr int kFileIdBytes = 4;

[[noreturn]] void LevelLoadFails(int line) { CGameApp::FatalError(kNetDocSource, line); }

void Require(bool ok, int line) {
  if (!ok) LevelLoadFails(line);
}

// "TEXTURES.CAN" where the data archives are looked for: the current
// folder, the program's folder, then the media folders.
bool OpenLevelTextures() {
  if (OpenTextureArchive(kLevelTextureBudget, "TEXTURES.CAN")) return true;
  if (OpenTextureArchive(kLevelTextureBudget, (PlatformProgramFolder() + "TEXTURES.CAN").c_str())) return true;
  for (const std::string& media : MediaFolders()) {
    if (OpenTextureArchive(kLevelTextureBudget, PathJoin(media, "TEXTURES.CAN").c_str())) return true;
  }
  return false;
}

Model* RequireModel(const char* fileName, int line) {
  Model* model = ModelFindByFileName(fileName);
  Require(model != nullptr, line);
  return model;
}

bool StartsWithNoCase(const char* name, const char* prefix) {
  return AsciiCompareNoCaseN(name, prefix, std::char_traits<char>::length(prefix)) == 0;
}

// The skin slot of "BODY0n" / "WING0n": n - 1, within 0..7.
int SkinSlot(const char* name) {
  const int slot = name[5] - '1';
  return slot < 0 ? 0 : slot > 7 ? 7 : slot;
}

// The texture is bound to slot, with its pixels loaded at once.
void Bind(Texture** slot, Texture* texture) {
  *slot = texture;
  TextureLoadPixels(texture);
}

}  // namespace

void CNetDoc::LoadLevel() {
  // A start that failed left its level here; a new one replaces it.
  if (world_) ReleaseLevel();
  PollMessageQueue();
  OpenDataArchive(g_CurrentMissionArchive.GetString());
  PollMessageQueue();
  Require(OpenLevelTextures(), kLineNoTextures);
  PollMessageQueue();

  Require(ArchiveFindMember("OBJECTS"), kLineNoObjects);
  Require(ModelsReload(), kLineBadObjects);
  ArchiveFlush();
  PollMessageQueue();

  const ArchiveEntry* worldMember = ArchiveFindWildcard("*.CCW");
  Require(worldMember != nullptr, kLineNoWorld);
  Require(ArchiveFindMember(worldMember->name), kLineWorldMissing);
  Require(WorldLoad(&world_), kLineBadWorld);
  ArchiveFlush();

  Require(ArchiveFindMember("FILE_ID"), kLineNoFileId);
  // The member's own size, so a short one never reads into what follows it.
  Require(ArchiveMemberSize("FILE_ID") >= kFileIdBytes && ArchiveReadBytes(fileId_, kFileIdBytes), kLineShortFileId);
  ArchiveFlush();
  Require(ArchiveClose(), kLineCloseFailed);
  ObjTableFree();
  PollMessageQueue();

  shipModel_ = RequireModel("hero.3ds", kLineNoHero);
  rocketModel_ = RequireModel("rocket.3ds", kLineNoRocket);
  sentryModel_ = RequireModel("sentry.3ds", kLineNoSentry);
  homingModel_ = RequireModel("homing.3ds", kLineNoHoming);
  nukeBombModel_ = RequireModel("nukebomb.3ds", kLineNoNukeBomb);
  cargoModel_ = RequireModel("cargo.3ds", kLineNoCargo);
  debrisCount_ = 0;
  for (int j = 0; j < 20; ++j) {
    char name[16];
    std::snprintf(name, sizeof(name), "debris%02d.3ds", j);
    if (Model* debris = ModelFindByFileName(name)) debrisModels_[debrisCount_++] = debris;
  }
  PollMessageQueue();

  for (WorldPolygon* polygon = world_->firstPolygon; polygon; polygon = polygon->next) {
    if (polygon->surface) TextureLoadPixels(polygon->surface->texture);
  }
  for (Model* model = ModelListHead(); model; model = model->next) {
    for (MeshNode* node = model->firstNode; node; node = node->nextInModel) {
      for (int face = node->faceCount - 1; face >= 0; --face) TextureLoadPixels(node->faceTexture[face]);
    }
  }
  PollMessageQueue();

  LoadFlowLines();
  ParseGroupProperties();
  LoadFlashingGroups();
  LoadGroupTextureAnimations();
  BuildTextureSequences();
  PollMessageQueue();

  BindSpecialTextures();
  CheckSpecialTextures();
  PollMessageQueue();

  g_BlackColour = static_cast<unsigned char>(FindPaletteColour(0, 0, 0));
  SetInstanceAmbientDefault(1.0f);
  DepthCueSet(300.0f, DepthCueFar());
  // Only korvane3d keeps copies of the textures on its display device.
  if (g_pInterface && BuildVariantIsInstalled() && BuildVariantGet().Kind() == BuildKind::Direct3D) {
    g_pInterface->ReloadTextures();
  }
}

void CNetDoc::BindSpecialTextures() {
  struct Named {
    const char* name;
    Texture** slot;
  };
  const Named named[] = {
      {"RLASER.BMP", &laserTexture_},        {"SLASER.BMP", &pulseLaserTexture_},
      {"FIREWAVE.BMP", &fireWaveTexture_},   {"RBULLET.BMP", &bulletTexture_},
      {"!BHOLE1.BMP", &bulletHoleTextures_[0]}, {"!BHOLE2.BMP", &bulletHoleTextures_[1]},
      {"MOLNIA.BMP", &molniaTexture_},
  };
  for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
    const char* name = texture->name;
    if (!name) continue;
    for (const Named& entry : named) {
      if (AsciiCompareNoCase(name, entry.name) == 0) Bind(entry.slot, texture);
    }
    if (StartsWithNoCase(name, "BODY0")) Bind(&bodySkins_[SkinSlot(name)], texture);
    if (StartsWithNoCase(name, "WING0")) Bind(&wingSkins_[SkinSlot(name)], texture);
    if (StartsWithNoCase(name, "!mpulse")) {
      const int frame = name[7] - '0';
      if (frame >= 0 && frame <= 7) Bind(&energyPulseFrames_[frame], texture);
    }
  }
}

void CNetDoc::CheckSpecialTextures() {
  for (int n = 0; n < 8; ++n) {
    Require(bodySkins_[n] != nullptr, kLineNoBodySkin);
    Require(wingSkins_[n] != nullptr, kLineNoWingSkin);
  }
  Require(laserTexture_ != nullptr, kLineNoLaser);
  Require(pulseLaserTexture_ != nullptr, kLineNoPulseLaser);
  Require(fireWaveTexture_ != nullptr, kLineNoFireWave);
  Require(bulletTexture_ != nullptr, kLineNoBullet);
  Require(bulletHoleTextures_[0] != nullptr, kLineNoBulletHole1);
  Require(bulletHoleTextures_[1] != nullptr, kLineNoBulletHole2);
  Require(molniaTexture_ != nullptr, kLineNoMolnia);
  Require(energyPulseFrames_[0] != nullptr, kLineNoEnergyPulse);
  for (Texture*& frame : energyPulseFrames_) {
    if (!frame) frame = energyPulseFrames_[0];
  }
}
