#include "tools/frame/mission_frame.h"

#include <cstring>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/engine_error.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/lighting.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "engine/world.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"

namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

void DropLightsOfTypes1To3(World* world) {
  Light* light = world->firstLight;
  while (light) {
    Light* next = light->next;
    if (light->type >= 1 && light->type <= 3) LightDelete(light);
    light = next;
  }
}

void TakePlayerStarts(MissionScene* scene) {
  const Model* start = ModelFindByFileName("player.3ds");
  Instance* instance = scene->world->firstInstance;
  while (instance) {
    Instance* next = instance->next;
    if (start && instance->model == start) {
      instance->dirty = 1;
      InstanceUpdateMatrix(instance);
      if (!scene->hasStart) {
        std::memcpy(scene->startMatrix, instance->matrix, sizeof(Matrix));
        scene->hasStart = true;
      }
      InstanceDelete(instance);
    }
    instance = next;
  }
}

}  // namespace

bool MissionSceneLoad(const std::string& texturesPath, const std::string& missionPath, MissionScene* scene,
                      std::string* error) {
  *scene = MissionScene{};
  if (!OpenTextureArchive(kTextureBudgetDefault, texturesPath.c_str())) {
    return Fail(error, "cannot open the textures " + texturesPath);
  }
  if (!ArchiveOpen(missionPath.c_str())) {
    TextureArchiveClose();
    FreeAllTextures();
    return Fail(error, "cannot open the mission " + missionPath);
  }
  std::string reason;
  World* world = nullptr;
  if (!ArchiveFindMember("OBJECTS") || !ModelsReload()) {
    reason = "no readable OBJECTS member";
  } else if (const ArchiveEntry* member = ArchiveFindWildcard("*.CCW"); !member) {
    reason = "no *.CCW world member";
  } else if (!ArchiveFindMember(member->name) || !WorldLoad(&world)) {
    reason = std::string("cannot read the world member ") + member->name;
  }
  // The readers say what they found wrong, and in which member.
  if (!reason.empty() && g_EngineError.code == kEngineErrorBadData) reason += std::string(" (") + g_EngineError.message + ")";
  ArchiveClose();
  ObjTableFree();
  if (!reason.empty()) {
    EngineFreeAll();
    TextureArchiveClose();
    return Fail(error, reason);
  }
  scene->world = world;
  SetInstanceAmbientDefault(1.0f);
  DepthCueSet(300.0f, DepthCueFar());
  LightsSeparateSpheres(world);
  DropLightsOfTypes1To3(world);
  TakePlayerStarts(scene);
  return true;
}

void MissionSceneFree(MissionScene* scene) {
  WorldFree(scene->world);
  scene->world = nullptr;
  EngineFreeAll();
  TextureArchiveClose();
  g_CurrentWorld = nullptr;
  g_CurrentView = nullptr;
}

void FramePlacementMatrix(const FramePlacement& placement, float out[16]) {
  Matrix saved;
  MatrixGet(saved);
  MatrixIdentity();
  MatrixRotateX(placement.angles.x);
  MatrixRotateY(placement.angles.y);
  MatrixRotateZ(placement.angles.z);
  MatrixTranslate(placement.position.x, placement.position.y, placement.position.z);
  MatrixGet(out);
  MatrixLoad(saved);
}

void CameraMatrixFromFrame(const float frameToWorld[16], float out[16]) {
  Matrix saved;
  MatrixGet(saved);
  MatrixLoad(frameToWorld);
  MatrixInvert();
  MatrixGet(out);
  MatrixLoad(saved);
}

void MissionStartCamera(const MissionScene& scene, float cameraMatrix[16]) {
  static const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  CameraMatrixFromFrame(scene.hasStart ? scene.startMatrix : kIdentity, cameraMatrix);
}

bool RenderMissionFrame(MissionScene* scene, const float cameraMatrix[16], const FrameOptions& options,
                        FrameImage* image) {
  image->width = image->height = 0;
  image->pixels.clear();
  if (!scene->world || options.width <= 0 || options.height <= 0 || options.height > kCoverageMaxLines ||
      options.width >= kReciprocalCount) {
    return false;
  }
  image->width = options.width;
  image->height = options.height;
  image->pixels.assign(static_cast<std::size_t>(options.width) * options.height, options.clearIndex);
  View view = {};
  view.zoom = 1.0f;
  std::memcpy(view.cameraMatrix, cameraMatrix, sizeof(Matrix));
  view.width = options.width;
  view.height = options.height;
  view.focal = static_cast<float>(options.width) * options.projection;
  view.target = image->pixels.data();
  view.firstRow = view.target;
  view.pitch = options.width;
  view.flags = options.flags & ~(kRenderHardware | kRenderHandOver);
  RenderWorld(scene->world, &view);
  g_CurrentView = nullptr;  // the view lives on this stack frame only
  return true;
}

std::vector<std::uint8_t> FrameBmpBytes(const FrameImage& image) {
  const int rowBytes = (image.width + 3) & ~3;
  const int paletteBytes = kPaletteSize * 4;
  const int dataOffset = 14 + 40 + paletteBytes;
  const int imageBytes = rowBytes * image.height;
  ByteWriter out;
  out.U8('B');
  out.U8('M');
  out.U32(static_cast<std::uint32_t>(dataOffset + imageBytes));
  out.U16(0);
  out.U16(0);
  out.U32(static_cast<std::uint32_t>(dataOffset));
  out.U32(40);
  out.I32(image.width);
  out.I32(image.height);  // positive: rows bottom-up
  out.U16(1);
  out.U16(8);
  out.U32(0);  // no compression
  out.U32(static_cast<std::uint32_t>(imageBytes));
  out.I32(2835);  // 72 dots per inch
  out.I32(2835);
  out.U32(kPaletteSize);
  out.U32(0);
  for (int i = 0; i < kPaletteSize; ++i) {
    out.U8(static_cast<std::uint8_t>(g_PaletteBlue[i]));
    out.U8(static_cast<std::uint8_t>(g_PaletteGreen[i]));
    out.U8(static_cast<std::uint8_t>(g_PaletteRed[i]));
    out.U8(0);
  }
  const std::uint8_t padding[3] = {0, 0, 0};
  for (int y = image.height - 1; y >= 0; --y) {
    out.Bytes(image.pixels.data() + static_cast<std::size_t>(y) * image.width, static_cast<std::size_t>(image.width));
    out.Bytes(padding, static_cast<std::size_t>(rowBytes - image.width));
  }
  return out.Take();
}

bool WriteFrameBmp(const std::string& path, const FrameImage& image, std::string* error) {
  return WriteBytesToFile(path, FrameBmpBytes(image)) || Fail(error, "cannot write " + path);
}
