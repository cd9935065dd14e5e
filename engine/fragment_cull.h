#pragma once
// The software pass's first look at a node's fragments: from each
// fragment's bounding box alone (for a busy node, its index's entries), it
// drops the fragments the pass would drop anyway once it had projected
// their vertices and read their polygons, so that those cost a few bytes:
// - facing away from the eye;
// - wholly behind the eye (no vertex in front of depth 1.0);
// - wholly beyond the focal depth and in the screen's range (so none would
//   go through the 3-D clipper) and either off one edge of the screen or
//   over a rectangle the coverage buffer reports covered;
// - wholly outside a side of the view, where the clipper would keep nothing.
// Each test allows for rounding. Handing a fragment to the drawing has one
// effect beyond its pixels that later drawing reads: the light-source
// switch (g_SurfaceTakesLights) that instance faces are lit with. Of the
// rejections above only the last can skip a fragment that the full test
// would hand on; the pass keeps those apart and settles the switch from
// them before instance faces are lit (engine/render_bsp_software.cpp).
#include <vector>

#include "engine/records.h"

enum FragmentCullResult {
  kFragmentDropped,  // the full test would drop it
  kFragmentKept,     // for the full test
  kFragmentOffView,  // wholly off the view: nothing of it would be drawn, yet the
                     // full test might hand it to the drawing (which sets the
                     // light-source switch instance faces read afterwards)
};
struct FragmentCullItem {
  BspFragment* fragment;
  FragmentCullResult result;
};

// The frame's camera for the tests; once per traversal, after ViewSetup.
void FragmentCullBegin();
// 1 when the fragment lies wholly beyond the far plane of the view (plane
// 5), rounding allowed for: the 3-D clipper keeps nothing of it.
bool FragmentBeyondFar(const BspFragment* fragment);
// Appends the node's fragments that are not dropped when the side given is
// drawn, in list order. A busy node is tested through its index
// (engine/bsp_node_index.h), a small one along its list.
void FragmentCull(BspNode* node, int side, View* view, std::vector<FragmentCullItem>* out);
