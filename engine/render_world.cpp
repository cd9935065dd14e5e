#include "engine/render_world.h"

#include <cstdlib>
#include <cstring>

#include "engine/animation.h"
#include "engine/frame_stamp.h"
#include "engine/instance.h"
#include "engine/instance_fragment.h"
#include "engine/instance_render.h"
#include "engine/light_select.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/polygon_math.h"
#include "engine/pool.h"
#include "engine/render_hardware.h"
#include "engine/render_math.h"
#include "engine/render_software.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "render/row_doubling.h"
#include "render/screen_lines.h"

const float* g_WorldVertexX;
const float* g_WorldVertexY;
const float* g_WorldVertexZ;
std::int32_t* g_VertexScreenX;
std::int32_t* g_VertexScreenY;
std::int32_t* g_VertexDepth;
std::uint8_t* g_VertexState;
float* g_HwVertexScreenX;
float* g_HwVertexScreenY;
float* g_HwVertexDepth;
float* g_HwVertexInvDepth;
std::int32_t g_VertexCacheSize;
int g_LightsOn;
int g_LightSpotsOn;
int g_InstanceVertexLighting;
int g_HardwareFrame;
RenderFlags g_RenderFlagsLastFrame;
World* g_CurrentWorld;
int g_InstancesZBuffered;
std::uint32_t g_StatNodes;
std::uint32_t g_StatNewPres;

namespace {

// What a half-resolution frame changes in the view, to put back after it.
struct HalfResolution {
  bool active;
  std::uint8_t* target;
  std::uint8_t* firstRow;
  std::int32_t pitch;
  std::int32_t width;
  std::int32_t height;
  float focal;
  std::uint8_t* block;
  int blockBytes;
};

// Draws at half size into a block of the engine pool when the flag
// asks for it and the size allows.
HalfResolution HalfResolutionBegin(View* view) {
  HalfResolution half = {};
  if (!(view->flags & kRenderHalfResolution) || (view->flags & kRenderHardware)) return half;
  if (view->width <= 0 || view->height <= 0 || view->width % 8 != 0 || view->height % 2 != 0) return half;
  const int width = view->width / 2, height = view->height / 2;
  half.blockBytes = width * height;
  half.block = static_cast<std::uint8_t*>(PoolAlloc(half.blockBytes));
  if (!half.block) return half;
  half.active = true;
  half.target = view->target;
  half.firstRow = view->firstRow;
  half.pitch = view->pitch;
  half.width = view->width;
  half.height = view->height;
  half.focal = view->focal;
  view->width = width;
  view->height = height;
  view->pitch = half.pitch < 0 ? -width : width;
  view->target = half.block;
  view->firstRow = half.pitch < 0 ? half.block + static_cast<std::ptrdiff_t>(height - 1) * width : half.block;
  view->focal = half.focal * 0.5f;
  return half;
}

// Every half-size pixel becomes a 2 x 2 square of the real target,
// row after row in memory order (the same order for either sign of pitch),
// and the view gets its own size and target back.
void HalfResolutionEnd(View* view, const HalfResolution& half) {
  if (!half.active) return;
  const int width = view->width;
  const int pitch = std::abs(half.pitch);
  for (int k = 0; k < view->height; ++k) {
    CopyRowDoubled(half.block + static_cast<std::ptrdiff_t>(k) * width, width,
                   half.target + static_cast<std::ptrdiff_t>(k) * 2 * pitch, pitch);
  }
  PoolFree(half.block, half.blockBytes);
  view->width = half.width;
  view->height = half.height;
  view->pitch = half.pitch;
  view->target = half.target;
  view->firstRow = half.firstRow;
  view->focal = half.focal;
  // The camera state still describes the half-size view: set it up again
  // for the real one, so that projections made after the frame (target
  // markers, aiming) land on the full-size picture.
  view->stamp = kStampNever;
  ViewSetup(view);
}

void VertexCacheAllocate(World* world, bool hardware) {
  const int capacity = world->vertexPool.capacity > 0 ? world->vertexPool.capacity : 0;
  g_VertexCacheSize = capacity;
  const int bytes = capacity * 4;
  if (hardware) {
    g_HwVertexScreenX = static_cast<float*>(PoolAlloc(bytes));
    g_HwVertexScreenY = static_cast<float*>(PoolAlloc(bytes));
    g_HwVertexDepth = static_cast<float*>(PoolAlloc(bytes));
    g_HwVertexInvDepth = static_cast<float*>(PoolAlloc(bytes));
  } else {
    g_VertexScreenX = static_cast<std::int32_t*>(PoolAlloc(bytes));
    g_VertexScreenY = static_cast<std::int32_t*>(PoolAlloc(bytes));
    g_VertexDepth = static_cast<std::int32_t*>(PoolAlloc(bytes));
  }
  g_VertexState = static_cast<std::uint8_t*>(PoolAlloc(capacity));
  g_WorldVertexX = world->vertexPool.x;
  g_WorldVertexY = world->vertexPool.y;
  g_WorldVertexZ = world->vertexPool.z;
}

template <typename T>
void FreeCacheArray(T*& array, int bytes) {
  PoolFree(array, bytes);
  array = nullptr;
}

void VertexCacheFree() {
  const int bytes = g_VertexCacheSize * 4;
  FreeCacheArray(g_VertexScreenX, bytes);
  FreeCacheArray(g_VertexScreenY, bytes);
  FreeCacheArray(g_VertexDepth, bytes);
  FreeCacheArray(g_HwVertexScreenX, bytes);
  FreeCacheArray(g_HwVertexScreenY, bytes);
  FreeCacheArray(g_HwVertexDepth, bytes);
  FreeCacheArray(g_HwVertexInvDepth, bytes);
  FreeCacheArray(g_VertexState, g_VertexCacheSize);
  g_VertexCacheSize = 0;
}

// Moved instances get their matrices and poses.
void UpdateInstances(World* world) {
  for (Instance* instance = world->firstInstance; instance; instance = instance->next) {
    if (!instance->dirty) continue;
    InstanceUpdateMatrix(instance);
    for (InstanceNode* node = instance->firstNode; node; node = node->nextInInstance) {
      if (!node->parent) InstanceNodeUpdate(node, instance->animTime);
    }
  }
}

// The world's line polygons, drawn over the finished frame where still
// uncovered. Their vertices are group-local, so a grouped line moves with
// its group.
void DrawWorldLines(World* world, View* view) {
  for (WorldPolygon* line = world->firstLine; line; line = line->nextLine) {
    if (line->vertexCount < 2) continue;
    if (line->group && !line->group->visible) continue;
    Vec3 ends[2];
    bool inFront = true;
    for (int i = 0; i < 2 && inFront; ++i) {
      Vec3 p = {line->vertices[i].x, line->vertices[i].y, line->vertices[i].z};
      if (line->group) p = polymath::MapPoint(line->group->worldMatrix, p);
      rendermath::Transform(g_CameraMatrix, p.x, p.y, p.z, &ends[i].x, &ends[i].y, &ends[i].z);
      inFront = ends[i].z > 1.0f;
    }
    if (!inFront) continue;
    CoverageLine(view, rendermath::Pixel(ends[0].x, ends[0].z), rendermath::Pixel(ends[0].y, ends[0].z),
                 rendermath::Pixel(ends[1].x, ends[1].z), rendermath::Pixel(ends[1].y, ends[1].z), line->flatColour, 1);
  }
}

void ParticlesBackToRoot(World* world) {
  if (!world->bspRoot) return;
  for (Particle* particle = world->firstParticle; particle; particle = particle->next) {
    ParticleLinkAttach(world->bspRoot, particle->link);  // off its current node's list first
  }
}

}  // namespace

int RenderInstancesZBuffered(const View* view) {
  return g_ZBuffer != nullptr && view && !(view->flags & kRenderHardware);
}

int HardwareModeActive() { return g_RenderFlagsLastFrame & kRenderHardware; }

void RenderWorld(World* world, View* view) {
  if (!world || !view) return;
  const RenderFlags flags = view->flags;
  const bool hardware = (flags & kRenderHardware) != 0;
  g_StatNodes = 0;
  g_StatNewPres = 0;
  g_HardwareFrame = flags & kRenderHardware;
  g_RenderFlagsLastFrame = flags;

  FrameStampAdvance();
  ++g_RenderedFrames;
  g_StippleParity = static_cast<std::uint8_t>(1 - g_StippleParity);

  const HalfResolution half = HalfResolutionBegin(view);

  g_LightsOn = (flags & kRenderLights) ? 1 : 0;
  g_LightSpotsOn = (flags & kRenderLightSpots) ? 1 : 0;
  g_InstanceVertexLighting = (flags & kRenderInstanceLighting) ? 1 : 0;
  g_CurrentWorld = world;
  g_StatPolysRendered = 0;
  g_PixelsDrawn = 0;
  g_StatPolysVisible = 0;

  ViewSetup(view);
  WorldRebuildGroups(world);
  LightSelectFrameBegin();
  VertexCacheAllocate(world, hardware);

  const bool zBuffered = RenderInstancesZBuffered(view);
  g_InstancesZBuffered = zBuffered ? 1 : 0;
  UpdateInstances(world);
  for (InstanceNode* node = world->firstInstanceNode; node; node = node->nextInWorld) {
    if (zBuffered) {
      // Fragments from frames without the z-buffer would go stale while the
      // instance moves; the first frame without it makes them afresh.
      while (node->firstFragment) InstanceFragmentFree(node->firstFragment);
    } else if (!node->firstFragment && world->bspRoot) {
      InstanceFragmentCreate(node, world->bspRoot, nullptr, 0);
    }
  }

  CoverageReset(view);

  if (flags & kRenderWorld) {
    if (g_VertexState) std::memset(g_VertexState, 0, static_cast<std::size_t>(g_VertexCacheSize));
    if (!hardware) {
      if (view->firstRow) {
        RenderBspSoftware(world->bspRoot, kFrustumMaskAll, 0);
        FinishFrameSpans(view);
        DrawWorldLines(world, view);
      }
    } else {
      PolyQueueReset(view->drawPolygon);
      RenderBspHardware(world->bspRoot, kFrustumMaskAll);
      if (flags & kRenderHandOver) PolyQueueHandOver();
    }
  }

  // Instances against the z-buffer go through the pixel path only: a
  // hardware frame has a polygon callback and no pixel rows.
  if (zBuffered && view->firstRow) {
    for (InstanceNode* node = world->firstInstanceNode; node; node = node->nextInWorld) DrawInstanceZBuffered(node);
  }

  LightSelectFrameEnd();
  VertexCacheFree();
  ParticlesBackToRoot(world);
  HalfResolutionEnd(view, half);
}
