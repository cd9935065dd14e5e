#pragma once
// One path of the level: nodes joined by next and previous links, each node
// with an optional event text, built from a "path_" scene object whose
// polygons are line segments (each directed from its first vertex to its
// second). Cameras glide along paths (world/paths/path_point.h) and enemies
// walk them node by node. The path owns its nodes; a node's links only join
// nodes of its own path, and when several segments start (or end) at one
// node, the segment read last decides the link. A path may be a closed loop,
// which has no first node.
//
// Game thread only. Paths are saved with the game by class name.
#include <cstddef>

#include "engine/records.h"
#include "platform/framework/ob_list.h"
#include "platform/framework/runtime_class.h"

class CArchive;

inline constexpr int kPathNameBytes = 64;    // 63 characters and the NUL
inline constexpr int kPathEventBytes = 512;  // 511 characters and the NUL
// Points closer than this are one node.
inline constexpr float kPathNodeMergeDistance = 0.1f;
// NearestNode never answers a node this far away or farther (by the sum of
// the coordinate differences).
inline constexpr float kPathNearestLimit = 100000.0f;

class CPathNode : public CObject {
  DECLARE_SERIAL_CLASS(CPathNode)
 public:
  CPathNode() = default;

  // The position, and the event text when one is given (a longer text is
  // cut at 511 characters).
  void Set(float x, float y, float z, const char* text);
  const char* GetEvent() const { return event_; }
  bool HasEvent() const { return event_[0] != '\0'; }
  CPathNode* GetNext() const { return next_; }
  CPathNode* GetPrev() const { return prev_; }
  void SetNext(CPathNode* node) { next_ = node; }
  void SetPrev(CPathNode* node) { prev_ = node; }
  // 1 from creation; only a saved game sets another value. Path-walking
  // enemies compare it with their squared distance to the node.
  float GetRadius() const { return radius_; }
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  float GetZ() const { return z_; }
  Vec3 GetPosition() const { return {x_, y_, z_}; }

  // x, y, z; the event's length and bytes; next; prev; radius. Loading
  // refuses (CArchiveException) an event longer than 511 bytes, a link to
  // an object that is no node and a position or radius that is no number.
  void Serialize(CArchive& ar) override;

 private:
  float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
  char event_[kPathEventBytes] = {};
  CPathNode* next_ = nullptr;
  CPathNode* prev_ = nullptr;
  float radius_ = 1.0f;
};

class CNewPath : public CObject {
  DECLARE_SERIAL_CLASS(CNewPath)
 public:
  CNewPath() = default;
  ~CNewPath() override;
  CNewPath(const CNewPath&) = delete;
  CNewPath& operator=(const CNewPath&) = delete;

  // Builds the path from the group's two-vertex polygons and deletes those
  // polygons from the world (the group itself stays for the caller). The
  // path takes the group's name (cut at 63 characters).
  void BuildFromScene(PolygonGroup* group);
  // The first node within 0.1 of the point (moved onto it), else a new node
  // at the end of the list; the event text replaces the node's when given.
  CPathNode* FindOrAddNode(float x, float y, float z, const char* text);
  // The first node in list order without a previous node becomes the first
  // node; a closed loop leaves it as it was.
  void FindFirstNode();
  // The node nearest to the point by |dx| + |dy| + |dz| (the earlier of
  // equals); null when none is nearer than 100000.
  CPathNode* NearestNode(float x, float y, float z) const;
  const char* GetName() const { return name_; }
  void SetName(const char* name);
  CPathNode* GetFirstNode() const { return first_; }
  int GetNodeCount() const { return nodes_.GetCount(); }
  // The nodes in creation order (the path owns them).
  const CTypedPtrList<CObList, CPathNode*>& GetNodes() const { return nodes_; }
  // Appends a node made elsewhere (a generated path); the path owns it.
  void AppendNode(CPathNode* node) { nodes_.AddTail(node); }
  // Takes the node out of the list without deleting it; true when it was
  // there (the manager's check of a loaded game uses it).
  bool ReleaseNode(CPathNode* node);

  // The node list (count, then each node), the first node, the name's
  // length and bytes. Loading drops null and repeated entries of the list
  // and refuses a name longer than 63 bytes.
  void Serialize(CArchive& ar) override;

 private:
  CTypedPtrList<CObList, CPathNode*> nodes_;
  CPathNode* first_ = nullptr;
  char name_[kPathNameBytes] = {};
};
