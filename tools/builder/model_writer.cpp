#include "tools/builder/model_writer.h"

#include <cmath>

#include "engine/matrix.h"
#include "engine/name_hash.h"
#include "engine/polygon_math.h"

using namespace polymath;

namespace {

constexpr size_t kStoredNameBytes = 64;

float Length(Vec3 v) { return std::sqrt(LengthSquared(v)); }

// The face's plane (outward for a list that runs counter-clockwise seen
// from outside) through its first vertex.
Plane FacePlane(const BuilderMeshNode& node, const BuilderFace& face) {
  std::vector<Vec3> points;
  for (int32_t index : face.vertices) {
    const bool inside = index >= 0 && static_cast<size_t>(index) < node.vertices.size();
    points.push_back(inside ? node.vertices[static_cast<size_t>(index)].position : Vec3{0, 0, 0});
  }
  const Vec3 n = NewellNormal(points);
  return {n.x, n.y, n.z, points.empty() ? 0.0f : Dot(n, points[0])};
}

float FaceRadius(const BuilderMeshNode& node, const BuilderFace& face) {
  float radius = 0;
  if (face.vertices.empty()) return radius;
  const int32_t first = face.vertices[0];
  for (int32_t index : face.vertices) {
    if (index < 0 || static_cast<size_t>(index) >= node.vertices.size() || first < 0 ||
        static_cast<size_t>(first) >= node.vertices.size()) {
      continue;
    }
    radius = std::fmax(radius, Length(node.vertices[static_cast<size_t>(index)].position -
                                      node.vertices[static_cast<size_t>(first)].position));
  }
  return radius;
}

float NodeRadius(const BuilderMeshNode& node) {
  float radius = 0;
  for (const BuilderVertex& v : node.vertices) radius = std::fmax(radius, Length(v.position));
  return radius;
}

template <typename T>
const T* At(const std::vector<T>& items, int index) {
  return index >= 0 && static_cast<size_t>(index) < items.size() ? &items[static_cast<size_t>(index)] : nullptr;
}

class ObjectsWriter {
 public:
  ObjectsWriter(ObjectGraphWriter& graph, const std::vector<BuilderModel>& models) : g_(graph), models_(models) {}

  void Model(int m) {
    const BuilderModel* model = At(models_, m);
    g_.Ref(kObjKindModel, model, [this, m, model](ObjectGraphWriter& g) {
      WritePropertyList(g.Out(), model->properties);
      g.Out().I32(model->storedHash ? model->storedHash : NameHash(model->name.c_str()));
      g.Out().FixedString(model->name, kStoredNameBytes);
      const int nodes = static_cast<int>(model->nodes.size());
      Node(m, 0);
      Node(m, nodes - 1);
      Model(m - 1);
      Model(m + 1);
      const int junctions = static_cast<int>(model->junctions.size());
      Junction(m, 0);
      Junction(m, junctions - 1);
    });
  }

 private:
  // Children of node n in vector order.
  static std::vector<int> Children(const BuilderModel& model, int n) {
    std::vector<int> children;
    for (size_t k = 0; k < model.nodes.size(); ++k) {
      if (model.nodes[k].parent == n) children.push_back(static_cast<int>(k));
    }
    return children;
  }

  void Node(int m, int n) {
    const BuilderModel& model = models_[static_cast<size_t>(m)];
    const BuilderMeshNode* node = At(model.nodes, n);
    g_.Ref(kObjKindMeshNode, node, [this, m, n, &model, node](ObjectGraphWriter& g) {
      ByteWriter& out = g.Out();
      WritePropertyList(out, node->properties);
      out.I32(node->code);
      out.FixedString(node->name, kStoredNameBytes);
      out.I32(node->code2);
      out.FixedString(node->text, kStoredNameBytes);
      out.F32(node->pivot.x);
      out.F32(node->pivot.y);
      out.F32(node->pivot.z);
      out.F32(NodeRadius(*node));

      std::vector<int32_t> faceData;
      std::vector<int32_t> offsets;
      for (const BuilderFace& face : node->faces) {
        offsets.push_back(static_cast<int32_t>(faceData.size()));
        const int32_t count = static_cast<int32_t>(face.vertices.size());
        faceData.push_back(face.twoSided ? -count : count);
        faceData.insert(faceData.end(), face.vertices.begin(), face.vertices.end());
      }
      const int32_t v = static_cast<int32_t>(node->vertices.size());
      const int32_t f = static_cast<int32_t>(node->faces.size());
      out.I32(node->storedVertexCount.value_or(v));
      out.I32(node->storedFaceCount.value_or(f));
      out.I32(node->storedFaceDataCount.value_or(static_cast<int32_t>(faceData.size())));

      const int rotations = static_cast<int>(node->rotationKeys.size());
      const int positions = static_cast<int>(node->positionKeys.size());
      RotationKey(m, n, 0);
      RotationKey(m, n, rotations - 1);
      PositionKey(m, n, 0);
      PositionKey(m, n, positions - 1);
      Node(m, n - 1);
      Node(m, n + 1);
      Model(m);
      const std::vector<int> siblings = Children(model, node->parent);
      int place = 0;
      while (siblings[static_cast<size_t>(place)] != n) ++place;
      const bool root = node->parent < 0;
      Node(m, node->parent);
      Node(m, root || place == 0 ? -1 : siblings[static_cast<size_t>(place) - 1]);
      Node(m,
           root || static_cast<size_t>(place) + 1 == siblings.size() ? -1 : siblings[static_cast<size_t>(place) + 1]);
      const std::vector<int> children = Children(model, n);
      Node(m, children.empty() ? -1 : children.front());
      Node(m, children.empty() ? -1 : children.back());

      for (auto field : {&Vec3::x, &Vec3::y, &Vec3::z}) {
        for (const BuilderVertex& vertex : node->vertices) out.F32(vertex.position.*field);
      }
      for (auto field : {&Vec3::x, &Vec3::y, &Vec3::z}) {
        for (const BuilderVertex& vertex : node->vertices) out.F32(vertex.normal.*field);
      }
      for (const BuilderVertex& vertex : node->vertices) out.I32(vertex.u);
      for (const BuilderVertex& vertex : node->vertices) out.I32(vertex.v);
      for (const BuilderFace& face : node->faces) out.F32(FaceRadius(*node, face));
      for (const BuilderVertex& vertex : node->vertices) out.I32(vertex.sharedIndex);
      std::vector<Plane> planes;
      for (const BuilderFace& face : node->faces) planes.push_back(FacePlane(*node, face));
      for (auto field : {&Plane::nx, &Plane::ny, &Plane::nz, &Plane::d}) {
        for (const Plane& plane : planes) out.F32(plane.*field);
      }
      for (int32_t value : faceData) out.I32(value);
      for (size_t i = 0; i < node->faces.size(); ++i) {
        const BuilderFace& face = node->faces[i];
        out.I32(face.storedOffset.value_or(offsets[i]));
        out.I32(face.texture.empty() ? 0 : NameHash(face.texture.c_str()));
      }
      for (const BuilderVertex& vertex : node->vertices) {
        const int other = vertex.sharedIndex == -1 ? -1 : vertex.sharedNode;
        Node(m, other);
      }
    });
  }

  void RotationKey(int m, int n, int k) {
    const BuilderMeshNode& node = models_[static_cast<size_t>(m)].nodes[static_cast<size_t>(n)];
    const BuilderRotationKey* key = At(node.rotationKeys, k);
    g_.Ref(kObjKindRotationKey, key, [this, m, n, k, key](ObjectGraphWriter& g) {
      ByteWriter& out = g.Out();
      out.F32(key->time);
      for (float value : key->matrix) out.F32(value);
      out.F32(key->axis.x);
      out.F32(key->axis.y);
      out.F32(key->axis.z);
      out.F32(key->angle);
      for (int i = 0; i < 4; ++i) out.F32(0);
      RotationKey(m, n, k - 1);
      RotationKey(m, n, k + 1);
      Node(m, n);
    });
  }

  void PositionKey(int m, int n, int k) {
    const BuilderMeshNode& node = models_[static_cast<size_t>(m)].nodes[static_cast<size_t>(n)];
    const BuilderPositionKey* key = At(node.positionKeys, k);
    g_.Ref(kObjKindPositionKey, key, [this, m, n, k, key](ObjectGraphWriter& g) {
      ByteWriter& out = g.Out();
      out.F32(key->time);
      out.F32(key->position.x);
      out.F32(key->position.y);
      out.F32(key->position.z);
      for (int i = 0; i < 4; ++i) out.F32(0);
      PositionKey(m, n, k - 1);
      PositionKey(m, n, k + 1);
      Node(m, n);
    });
  }

  // Segments leaving (outgoing) or reaching junction j, in vector order.
  static std::vector<int> SegmentsAt(const BuilderModel& model, int j, bool outgoing) {
    std::vector<int> list;
    for (size_t s = 0; s < model.segments.size(); ++s) {
      if ((outgoing ? model.segments[s].from : model.segments[s].to) == j) list.push_back(static_cast<int>(s));
    }
    return list;
  }

  // The segment before or after s in junction j's list (-1 at the ends).
  static int Neighbour(const BuilderModel& model, int j, bool outgoing, int s, int step) {
    const std::vector<int> list = SegmentsAt(model, j, outgoing);
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i] != s) continue;
      const int64_t k = static_cast<int64_t>(i) + step;
      return k >= 0 && static_cast<size_t>(k) < list.size() ? list[static_cast<size_t>(k)] : -1;
    }
    return -1;
  }

  void Junction(int m, int j) {
    const BuilderModel& model = models_[static_cast<size_t>(m)];
    const BuilderJunction* junction = At(model.junctions, j);
    g_.Ref(kObjKindPathJunction, junction, [this, m, j, &model, junction](ObjectGraphWriter& g) {
      g.Out().I32(junction->id);
      g.Out().I32(junction->code);
      const std::vector<int> in = SegmentsAt(model, j, false);
      const std::vector<int> out = SegmentsAt(model, j, true);
      Segment(m, in.empty() ? -1 : in.front());
      Segment(m, in.empty() ? -1 : in.back());
      Segment(m, out.empty() ? -1 : out.front());
      Segment(m, out.empty() ? -1 : out.back());
      Model(m);
      Junction(m, j - 1);
      Junction(m, j + 1);
    });
  }

  void Segment(int m, int s) {
    const BuilderModel& model = models_[static_cast<size_t>(m)];
    const BuilderSegment* segment = At(model.segments, s);
    g_.Ref(kObjKindPathSegment, segment, [this, m, s, &model, segment](ObjectGraphWriter& g) {
      ByteWriter& out = g.Out();
      out.I32(segment->id);
      out.F32(segment->startTime);
      out.F32(segment->endTime);
      out.F32(segment->duration);
      for (Vec3 v : {segment->velocity, segment->angularVelocity}) {
        out.F32(v.x);
        out.F32(v.y);
        out.F32(v.z);
      }
      out.I32(segment->code);
      out.U32(segment->selectPattern);
      out.U32(segment->selectMask);
      Junction(m, segment->from);
      Junction(m, segment->to);
      Segment(m, Neighbour(model, segment->from, true, s, -1));
      Segment(m, Neighbour(model, segment->from, true, s, 1));
      Segment(m, Neighbour(model, segment->to, false, s, -1));
      Segment(m, Neighbour(model, segment->to, false, s, 1));
    });
  }

  ObjectGraphWriter& g_;
  const std::vector<BuilderModel>& models_;
};

}  // namespace

Vec3 NewellNormal(const std::vector<Vec3>& points) {
  Vec3 n = {0, 0, 0};
  for (size_t k = 0; k < points.size(); ++k) {
    const Vec3 a = points[k], b = points[(k + 1) % points.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  const float length = Length(n);
  return length > 0 ? Vec3{n.x / length, n.y / length, n.z / length} : n;
}

std::array<float, 16> AxisAngleMatrix(Vec3 axis, float angle) {
  std::array<float, 16> r;
  MatrixAxisAngle(axis.x, axis.y, axis.z, angle, r.data());
  return r;
}

std::array<float, 16> MultiplyMatrices(const std::array<float, 16>& a, const std::array<float, 16>& b) {
  std::array<float, 16> r{};
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[4 * row + k] * b[4 * k + col];
      r[4 * row + col] = sum;
    }
  }
  return r;
}

std::vector<BuilderRotationKey> RotationKeysFromTurns(const std::vector<BuilderTurn>& turns) {
  std::vector<BuilderRotationKey> keys;
  std::array<float, 16> current = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (size_t i = 0; i < turns.size(); ++i) {
    BuilderRotationKey key;
    key.time = turns[i].time;
    key.axis = turns[i].axis;
    key.angle = turns[i].angle;
    if (i > 0) current = MultiplyMatrices(current, AxisAngleMatrix(key.axis, key.angle));
    key.matrix = current;
    keys.push_back(key);
  }
  return keys;
}

std::vector<uint8_t> ObjectsMember(const std::vector<BuilderModel>& models) {
  ByteWriter out;
  ObjectGraphWriter graph(out);
  ObjectsWriter(graph, models).Model(0);
  return out.Take();
}

bool AddObjectsMember(ArchiveWriter* archive, const std::vector<BuilderModel>& models) {
  return archive->AddMember("OBJECTS", ObjectsMember(models));
}
