#include "tests/engine/render_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/bsp.h"
#include "engine/depth_cue.h"
#include "engine/engine_error.h"
#include "engine/frame_stamp.h"
#include "engine/instance.h"
#include "engine/lighting.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/pool.h"
#include "engine/render_world.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "tests/engine/world_fixture.h"

RenderTarget::RenderTarget(int width, int height, bool bottomUp) {
  pixels.assign(static_cast<std::size_t>(width) * height, 0);
  view = View{};
  view.zoom = 1.0f;
  view.focal = 64.0f;
  view.width = width;
  view.height = height;
  view.target = pixels.data();
  view.pitch = bottomUp ? -width : width;
  view.firstRow = bottomUp ? pixels.data() + static_cast<std::ptrdiff_t>(height - 1) * width : pixels.data();
  view.flags = kRenderWorld;
  ViewLookAlongZ(&view, 0, 0, 0);
}

int RenderTarget::Count(std::uint8_t value) const { return CountIn(0, 0, view.width, view.height, value); }

int RenderTarget::CountIn(int x0, int y0, int x1, int y1, std::uint8_t value) const {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += At(x, y) == value;
  return count;
}

void RenderTarget::Fill(std::uint8_t value) { std::fill(pixels.begin(), pixels.end(), value); }

void ViewLookYaw(View* view, float x, float y, float z, float yaw) {
  // Columns: camera x (right), y (down), z (forward) in world coordinates.
  const float c = std::cos(yaw), s = std::sin(yaw);
  const Vec3 right = {c, 0, -s}, down = {0, 1, 0}, forward = {s, 0, c};
  float* m = view->cameraMatrix;
  const Vec3 axes[3] = {right, down, forward};
  for (int col = 0; col < 3; ++col) {
    m[0 + col] = (&axes[col].x)[0];
    m[4 + col] = (&axes[col].x)[1];
    m[8 + col] = (&axes[col].x)[2];
    m[12 + col] = -(x * (&axes[col].x)[0] + y * (&axes[col].x)[1] + z * (&axes[col].x)[2]);
  }
  m[3] = m[7] = m[11] = 0.0f;
  m[15] = 1.0f;
}

void ViewLookAlongZ(View* view, float x, float y, float z) { ViewLookYaw(view, x, y, z, 0.0f); }

Texture* RenderTestTexture(const char* name, std::uint8_t colour) {
  Texture* texture = CreateTexture(name, 64, 64);
  // Every level and preview too: with no palette loaded the rebuilt levels
  // would all be the nearest black.
  std::memset(texture->pixels, colour, static_cast<std::size_t>(texture->byteSize));
  return texture;
}

Surface* RenderTestSurface(World* world, Texture* texture, Vec3 origin, Vec3 u, Vec3 v) {
  return SurfaceCreate(world, origin.x, origin.y, origin.z, u.x, u.y, u.z, v.x, v.y, v.z, 0, 0, TextureAddRef(texture));
}

std::vector<Vec3> QuadFacingEye(float x0, float y0, float x1, float y1, float z) {
  return {{x0, y0, z}, {x0, y1, z}, {x1, y1, z}, {x1, y0, z}};
}

std::vector<Vec3> FacingPoint(std::vector<Vec3> points, Vec3 eye) {
  const Vec3 a = points[0], b = points[1], c = points[2];
  const Vec3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z}, e2 = {c.x - b.x, c.y - b.y, c.z - b.z};
  const Vec3 n = {e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
  if (n.x * (eye.x - a.x) + n.y * (eye.y - a.y) + n.z * (eye.z - a.z) < 0.0f)
    std::reverse(points.begin(), points.end());
  return points;
}

WorldPolygon* RenderTestPolygon(World* world, const std::vector<Vec3>& points, int flatColour, int flags,
                                Surface* surface, float light) {
  std::vector<float> x, y, z, lights;
  for (const Vec3& p : points) {
    x.push_back(p.x);
    y.push_back(p.y);
    z.push_back(p.z);
    lights.push_back(light);
  }
  // The flags and colour count from the start, so the polygon is made out of
  // the BSP and inserted once they are set.
  WorldPolygon* polygon =
      PolygonCreate(world, -static_cast<int>(points.size()), x.data(), y.data(), z.data(), lights.data(), surface);
  if (!polygon) return nullptr;
  polygon->flatColour = flatColour;
  polygon->flags = flags;
  BspInsertPolygon(world->bspRoot, polygon);
  return polygon;
}

namespace {

// A one-node model at the head of the model list, its node with room for
// vertexCount unshared vertices and faceCount faces of faceValues values
// each (the count, then the vertex indices); the caller fills them in.
MeshNode* NewTestMesh(const char* modelName, const char* nodeName, int vertexCount, int faceCount, int faceValues) {
  Model* model = PoolNew<Model>();
  std::strcpy(model->name, modelName);
  model->useCount = 1;
  MeshNode* node = PoolNew<MeshNode>();
  node->model = model;
  model->firstNode = model->lastNode = node;
  std::strcpy(node->name, nodeName);
  const int V = vertexCount, F = faceCount;
  node->vertexCount = V;
  node->faceCount = F;
  node->x = ObjAllocArray<float>(V);
  node->y = ObjAllocArray<float>(V);
  node->z = ObjAllocArray<float>(V);
  node->nx = ObjAllocArray<float>(V);
  node->ny = ObjAllocArray<float>(V);
  node->nz = ObjAllocArray<float>(V);
  node->u = ObjAllocArray<std::int32_t>(V);
  node->v = ObjAllocArray<std::int32_t>(V);
  node->sharedIndex = ObjAllocArray<std::int32_t>(V);
  node->sharedNode = ObjAllocArray<MeshNode*>(V);
  for (int i = 0; i < V; ++i) node->sharedIndex[i] = -1;
  node->faceDataBytes = F * faceValues * 4;
  node->faceData = ObjAllocArray<std::int32_t>(F * faceValues);
  node->faceVertices = ObjAllocArray<std::int32_t*>(F);
  for (int f = 0; f < F; ++f) node->faceVertices[f] = node->faceData + f * faceValues;
  node->faceNx = ObjAllocArray<float>(F);
  node->faceNy = ObjAllocArray<float>(F);
  node->faceNz = ObjAllocArray<float>(F);
  node->faceD = ObjAllocArray<float>(F);
  node->faceRadius = ObjAllocArray<float>(F);
  node->faceTexture = ObjAllocArray<Texture*>(F);
  model->next = g_ModelListHead;
  if (g_ModelListHead) g_ModelListHead->prev = model;
  g_ModelListHead = model;
  return node;
}

}  // namespace

Model* RenderTestCubeModel(float half, Texture* texture, bool twoSided) {
  MeshNode* node = NewTestMesh("cube.3ds", "cube", 8, 6, 5);
  node->radius = node->model->radius = half * 1.7320508f;
  for (int i = 0; i < node->vertexCount; ++i) {
    const float sx = (i & 1) ? half : -half, sy = (i & 2) ? half : -half, sz = (i & 4) ? half : -half;
    node->x[i] = sx;
    node->y[i] = sy;
    node->z[i] = sz;
    const float inv = 1.0f / (half * 1.7320508f);
    node->nx[i] = sx * inv;
    node->ny[i] = sy * inv;
    node->nz[i] = sz * inv;
    node->u[i] = (i & 1) ? 65536 : 0;
    node->v[i] = (i & 2) ? 65536 : 0;
  }
  // Faces wound so that the outward normal is on the viewer's side.
  const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  const float normals[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
  for (int f = 0; f < node->faceCount; ++f) {
    std::int32_t* list = node->faceVertices[f];
    list[0] = twoSided ? -4 : 4;
    for (int k = 0; k < 4; ++k) list[1 + k] = faces[f][k];
    node->faceNx[f] = normals[f][0];
    node->faceNy[f] = normals[f][1];
    node->faceNz[f] = normals[f][2];
    node->faceD[f] = half;
    node->faceRadius[f] = half * 2.0f;
    node->faceTexture[f] = texture ? TextureAddRef(texture) : nullptr;
  }
  return node->model;
}

Model* RenderTestGridModel(int cols, int rows, float cell, Texture* texture) {
  MeshNode* node = NewTestMesh("grid.3ds", "grid", (cols + 1) * (rows + 1), 2 * cols * rows, 4);
  const float halfW = cols * cell / 2, halfH = rows * cell / 2;
  node->radius = node->model->radius = std::sqrt(halfW * halfW + halfH * halfH);
  for (int j = 0; j <= rows; ++j) {
    for (int i = 0; i <= cols; ++i) {
      const int k = j * (cols + 1) + i;
      node->x[k] = -halfW + i * cell;
      node->y[k] = -halfH + j * cell;
      node->z[k] = 0;
      node->nx[k] = node->ny[k] = 0;
      node->nz[k] = -1;
      node->u[k] = (i & 1) * 65536;
      node->v[k] = (j & 1) * 65536;
    }
  }
  int f = 0;
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < cols; ++i) {
      const int a = j * (cols + 1) + i, b = a + cols + 1, c = b + 1, d = a + 1;  // (x0,y0) (x0,y1) (x1,y1) (x1,y0)
      const int triangles[2][3] = {{a, b, c}, {a, c, d}};
      for (const auto& t : triangles) {
        std::int32_t* list = node->faceVertices[f];
        list[0] = 3;
        list[1] = t[0];
        list[2] = t[1];
        list[3] = t[2];
        node->faceNx[f] = node->faceNy[f] = 0;
        node->faceNz[f] = -1;
        node->faceD[f] = 0;
        node->faceRadius[f] = cell * 1.5f;
        node->faceTexture[f] = texture ? TextureAddRef(texture) : nullptr;
        ++f;
      }
    }
  }
  return node->model;
}

void RenderFixture::SetUp() {
  PaletteReset();
  for (int row = 0; row < kShadeRows; ++row)
    for (int t = 0; t < kPaletteSize; ++t) g_pShadeTable[row * kPaletteSize + t] = static_cast<std::uint8_t>(t);
  DepthCueSet(0.0f, -1.0f);
  ZBufferRelease();
  SetBackgroundFill(1);
  SetInstanceAmbientDefault(1.0f);
  g_SurfaceTakesLights = 1;
  while (g_MatrixStack.depth > 0) MatrixPop();
  MatrixIdentity();
  g_CurrentView = nullptr;
  world_ = TestWorldCreate(BspNodeCreate(0.0f, 0.0f, 1.0f, -10000.0f));
}

void RenderFixture::TearDown() {
  while (world_->firstInstance) InstanceDelete(world_->firstInstance);
  while (world_->firstInstanceNode) InstanceNodeFree(world_->firstInstanceNode);
  TestWorldFree(world_);
  while (g_ModelListHead) ModelFree(g_ModelListHead);
  FreeAllTextures();
  ZBufferRelease();
  DepthCueSet(0.0f, -1.0f);
  g_CurrentView = nullptr;
  g_CurrentWorld = nullptr;
}

void RenderFixture::Render() { RenderWorld(world_, &target_.view); }

void RenderFixture::BeginFrame() {
  ++g_FrameStamp;
  ViewSetup(&target_.view);
  CoverageReset(&target_.view);
  g_CurrentWorld = world_;
  g_StatNodes = 0;
}
