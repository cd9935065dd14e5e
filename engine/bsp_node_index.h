#pragma once
// An index of the fragments of a busy BSP node. A level's floor plane can
// hold a fragment for every floor tile of the level at one node; walking
// that list costs more than everything a frame draws, and so does the
// containment scan of each insertion into it. A node with many fragments
// gets an index (kept up to date by the fragment list operations of
// engine/bsp_fragment.cpp, freed with the node):
// - for the render passes, a compact entry per fragment (bounding box,
//   facing, vertex count), gathered by place into clusters with boxes of
//   their own, so that a fragment rejected before its polygon and vertices
//   are read costs a few bytes, and a cluster rejected whole costs its box;
// - for insertion, a grid over the node's plane of the region each fragment
//   can contain, so that the first fragment of the list that contains a new
//   one is found among the few that overlap it.
// Neither changes anything the list says: the list order is the fragments'
// order keys (BspFragment::order), and each answer is the one the list walk
// gives.
#include "engine/records.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

// Nodes with fewer fragments than this are walked as lists.
inline constexpr int kBspIndexMinFragments = 32;

// One fragment of an indexed node, as the render passes test it first.
struct BspIndexEntry {
  Vec3 centre;  // the box round the fragment's vertices: centre
  Vec3 half;    // and half sides
  BspFragment* fragment;
  std::int32_t back;  // the fragment's back flag
  std::int32_t vertexCount;
};

// The entries of one cell of a grid over the node's plane, so that a cell
// whose box is rejected rejects them all.
struct BspIndexCluster {
  Vec3 min, max;  // a box round its entries' boxes (it grows; it need not shrink)
  std::int32_t lineFragments;
  std::vector<BspIndexEntry> entries;  // BspFragment::indexSlot is the place here
};

// The region a fragment can contain (engine/bsp_node_index.cpp).
struct BspRegion {
  Vec3 min, max;
  bool bounded;
};

struct BspNodeIndex {
  int axisA = 0, axisB = 1;  // the grids' two axes: the node's plane seen along its steepest axis
  float clusterSize = 1.0f;
  std::vector<BspIndexCluster> clusters;
  std::unordered_map<std::uint64_t, std::int32_t> clusterAt;  // a cell's cluster
  // Containment, made on the first search:
  bool regionsMade = false;
  std::unordered_map<const BspFragment*, BspRegion> regions;
  float cellSize = 1.0f;
  std::unordered_map<std::uint64_t, std::vector<BspFragment*>> cells;
  std::vector<BspFragment*> unbounded;  // regions too large or not bounded: tried every time
};

// The node's index, made now when the node is busy enough; null otherwise.
BspNodeIndex* BspNodeIndexFor(BspNode* node);
// Frees the node's index (null-safe); the node keeps its fragments.
void BspNodeIndexFree(BspNode* node);

// The list operations call these: a fragment just linked into its node's
// list (its back flag set), and one about to leave it.
void BspNodeIndexAdd(BspFragment* fragment);
void BspNodeIndexRemove(BspFragment* fragment);
// The fragment's polygon has a new world plane: what it can contain moved.
void BspNodeIndexPlaneMoved(BspFragment* fragment);

// The first fragment of the node's list that contains fragment
// (FragmentContains), or null: what walking the list from its head finds.
BspFragment* BspNodeFirstContaining(BspNode* node, const BspFragment* fragment);
