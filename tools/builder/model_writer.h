#pragma once
// Writes the "OBJECTS" member of a mission archive: the model list as one
// object graph, exactly as the engine's model reader reads it (the stored
// bodies are listed in engine/model.h and engine/path.h).
//
// The builder describes a model by value: nodes, keys, junctions and
// segments refer to each other by index. The writer lays the links out the
// way the engine keeps them: every node on its model's node list in vector
// order, children in vector order under their parent, keys in vector order.
// It computes each node's radius, each face's plane and radius.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/records.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/object_graph_writer.h"

struct BuilderVertex {
  Vec3 position = {0, 0, 0};
  Vec3 normal = {0, 0, 0};
  int32_t u = 0, v = 0;  // 16.16: 65536 is one whole texture
  // A vertex that follows a vertex of another node of the model: that
  // node's index and the vertex's index there (-1: its own vertex).
  int sharedNode = -1;
  int sharedIndex = -1;
};

struct BuilderFace {
  std::vector<int32_t> vertices;  // indices into the node's vertices
  bool twoSided = false;
  std::string texture;  // a texture name of "TEXTURES.CAN"; empty = untextured (id 0)
  // Stored offset of the face's list in faceData, when not the real one.
  std::optional<int32_t> storedOffset;
};

struct BuilderRotationKey {
  float time = 0;
  std::array<float, 16> matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  Vec3 axis = {0, 0, 1};  // turn from the previous key to this one
  float angle = 0;
};

struct BuilderPositionKey {
  float time = 0;
  Vec3 position = {0, 0, 0};
};

struct BuilderMeshNode {
  std::string name;
  std::string text;
  int32_t code = 0, code2 = 0;
  BuilderProperties properties;
  Vec3 pivot = {0, 0, 0};
  int parent = -1;  // index of the parent node in the model, -1 for a root
  std::vector<BuilderVertex> vertices;
  std::vector<BuilderFace> faces;
  std::vector<BuilderRotationKey> rotationKeys;
  std::vector<BuilderPositionKey> positionKeys;
  // Stored counts, when not the real ones (tests write wrong ones).
  std::optional<int32_t> storedVertexCount;
  std::optional<int32_t> storedFaceCount;
  std::optional<int32_t> storedFaceDataCount;
};

struct BuilderJunction {
  int32_t id = 0;
  int32_t code = 0;
};

struct BuilderSegment {
  int32_t id = 0;
  int from = 0, to = 0;  // junction indices
  float startTime = 0, endTime = 0;
  float duration = 1;
  Vec3 velocity = {0, 0, 0};
  Vec3 angularVelocity = {0, 0, 0};
  int32_t code = 0;
  uint32_t selectMask = 0;
  uint32_t selectPattern = 0xFFFFFFFFu;  // with mask 0: every instance may take it
};

struct BuilderModel {
  std::string name;        // the file name, e.g. "hero.3ds"
  int32_t storedHash = 0;  // 0 writes NameHash(name)
  BuilderProperties properties;
  std::vector<BuilderMeshNode> nodes;
  std::vector<BuilderJunction> junctions;
  std::vector<BuilderSegment> segments;
};

// Rotation keys that turn by (axis, angle) from one key to the next, each
// key's matrix the previous one's turned so: the engine's interpolation then
// lands exactly on every key. The first key's matrix is the identity.
struct BuilderTurn {
  float time;
  Vec3 axis;
  float angle;
};
std::vector<BuilderRotationKey> RotationKeysFromTurns(const std::vector<BuilderTurn>& turns);
// Unit normal of a planar polygon from Newell's sum, facing the side from
// which the points run counter-clockwise; zero for a degenerate polygon.
Vec3 NewellNormal(const std::vector<Vec3>& points);
// The engine's axis-angle rotation (the axis need not be unit length).
std::array<float, 16> AxisAngleMatrix(Vec3 axis, float angle);
std::array<float, 16> MultiplyMatrices(const std::array<float, 16>& a, const std::array<float, 16>& b);

// The "OBJECTS" member's bytes: one reference to the first model, whose
// body brings in the rest. An empty list writes a null reference.
std::vector<uint8_t> ObjectsMember(const std::vector<BuilderModel>& models);
// Adds it to an archive as "OBJECTS"; false when the archive refuses it.
bool AddObjectsMember(ArchiveWriter* archive, const std::vector<BuilderModel>& models);
