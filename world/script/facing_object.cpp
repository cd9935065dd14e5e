#include "world/script/facing_object.h"

#include <cmath>

#include "engine/frame_stamp.h"
#include "engine/polygon_group.h"
#include "engine/surface_mapping.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"

namespace {

constexpr float kTiny = 1.1920929e-07f;
constexpr FrameStamp kRecentFrames = 200;
constexpr int kUnseenRebuildMs = 3000;

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Unit length; (0, 0, 1) for a vector of almost no length.
Vec3 Normalised(const Vec3& v) {
  const float square = Dot(v, v);
  if (square < kTiny) return {0, 0, 1};
  const float length = std::sqrt(square);
  return {v.x / length, v.y / length, v.z / length};
}
// The point as a row vector times m, with (translate) or without the
// translation row.
Vec3 Transform(const float m[16], const Vec3& p, bool translate) {
  Vec3 out = {p.x * m[0] + p.y * m[4] + p.z * m[8], p.x * m[1] + p.y * m[5] + p.z * m[9],
              p.x * m[2] + p.y * m[6] + p.z * m[10]};
  if (translate) {
    out.x += m[12];
    out.y += m[13];
    out.z += m[14];
  }
  return out;
}

}  // namespace

void MatrixMultiplyAxisRotation(float m[16], const Vec3& axis, float c, float s) {
  const float x = axis.x, y = axis.y, z = axis.z, t = 1.0f - c;
  const float r[3][3] = {{c + x * x * t, x * y * t - z * s, x * z * t + y * s},
                         {x * y * t + z * s, c + y * y * t, y * z * t - x * s},
                         {x * z * t - y * s, y * z * t + x * s, c + z * z * t}};
  for (int row = 0; row < 4; ++row) {
    const float a = m[row * 4], b = m[row * 4 + 1], d = m[row * 4 + 2];
    for (int col = 0; col < 3; ++col) m[row * 4 + col] = a * r[0][col] + b * r[1][col] + d * r[2][col];
  }
}

CFacingObject::CFacingObject(WorldPolygon* face, const WorldPolygon* axisLine)
    : face_(face), group_(face ? face->group : nullptr), hasAxis_(axisLine != nullptr) {
  if (axisLine) {
    const PolygonVertex& a = axisLine->vertices[0];
    const PolygonVertex& b = axisLine->vertices[1];
    const Vec3 direction = {b.x - a.x, b.y - a.y, b.z - a.z};
    const float square = Dot(direction, direction);
    axis_ = square == 1.0f ? direction : Normalised(direction);
    centre_ = {a.x, a.y, a.z};
  } else if (face && face->vertexCount > 0) {
    Vec3 sum = {0, 0, 0};
    for (int i = 0; i < face->vertexCount; ++i) {
      sum.x += face->vertices[i].x;
      sum.y += face->vertices[i].y;
      sum.z += face->vertices[i].z;
    }
    const float n = static_cast<float>(face->vertexCount);
    centre_ = {sum.x / n, sum.y / n, sum.z / n};
  }
  if (!face) return;
  for (int i = face->vertexCount - 1; i >= 0; --i) {
    const PolygonVertex& v = face->vertices[i];
    shape_.push_back(Sub({v.x, v.y, v.z}, centre_));
    // The light goes with its vertex, which now stands in reversed order.
    light_.push_back(v.light);
  }
}

void CFacingObject::Init() {
  if (!face_) return;
  normal_ = face_->normal;
  planeD_ = face_->d;
  const float square = Dot(normal_, normal_);
  if (square != 1.0f && square >= kTiny) {
    const float length = std::sqrt(square);
    normal_ = {normal_.x / length, normal_.y / length, normal_.z / length};
    planeD_ /= length;
  }
  tangent_ = Cross(axis_, normal_);
  if (Surface* surface = face_->surface) {
    textureOrigin_ = Sub(surface->origin, centre_);
    textureU_ = surface->uAxis;
    textureV_ = surface->vAxis;
  }
  face_->lastDrawn = g_FrameStamp;
  seenStamp_ = g_FrameStamp;
  drawnFrame_ = g_RenderedFrames;
  Update();
}

bool CFacingObject::RebuildDue() {
  // A face drawn since the last look was seen in the current rendered frame.
  if (face_->lastDrawn != seenStamp_) {
    seenStamp_ = face_->lastDrawn;
    drawnFrame_ = g_RenderedFrames;
  }
  if (g_RenderedFrames - drawnFrame_ <= kRecentFrames) return true;
  const int now = GetGameTime();
  if (GameTimeSince(lastUpdate_, now) < kUnseenRebuildMs) return false;
  lastUpdate_ = now;
  return true;
}

void CFacingObject::Update() {
  if (!face_ || !RebuildDue()) return;
  CDirectPlayer* player = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!player) return;
  Vec3 viewer;
  player->GetPosition(&viewer.x, &viewer.y, &viewer.z);
  FaceToward(viewer);
}

void CFacingObject::FaceToward(const Vec3& viewer) {
  if (!face_ || shape_.empty()) return;
  const Vec3 d = Normalised(Sub(viewer, centre_));
  const Vec3 w = Normalised(Cross(Cross(d, axis_), axis_));
  const float c = Dot(w, normal_);
  const float s = -Dot(w, tangent_);
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  MatrixMultiplyAxisRotation(m, axis_, c, s);
  m[12] += centre_.x;
  m[13] += centre_.y;
  m[14] += centre_.z;

  const int n = static_cast<int>(shape_.size());
  float xs[kPolygonMaxVertices], ys[kPolygonMaxVertices], zs[kPolygonMaxVertices], ls[kPolygonMaxVertices];
  for (int i = 0; i < n && i < kPolygonMaxVertices; ++i) {
    const Vec3 p = Transform(m, shape_[i], true);
    xs[i] = p.x;
    ys[i] = p.y;
    zs[i] = p.z;
    ls[i] = light_[i];
  }
  Surface* surface = face_->surface;
  if (surface) ++surface->refs;  // the rebuilt face takes this one over
  // Made out of the BSP; the group's rebuild puts it in by the group's
  // matrix. A failed rebuild keeps the face as it was.
  WorldPolygon* rebuilt = PolygonCreate(face_->world, -n, xs, ys, zs, ls, surface);
  if (!rebuilt) return;
  rebuilt->flags = face_->flags;
  rebuilt->flatColour = face_->flatColour;
  rebuilt->lineColour = face_->lineColour;
  rebuilt->props = face_->props;
  face_->props = nullptr;
  PolygonDelete(face_);
  face_ = rebuilt;
  if (group_) {
    PolygonSetGroup(rebuilt, group_, 0);
    GroupInvalidate(group_);
  }
  if (surface) {
    surface->uAxis = surface->worldU = Transform(m, textureU_, false);
    surface->vAxis = surface->worldV = Transform(m, textureV_, false);
    surface->origin = surface->worldOrigin = Transform(m, textureOrigin_, true);
    SurfaceComputeTexCoords(rebuilt);
  }
  seenStamp_ = rebuilt->lastDrawn;
}
