#pragma once
// The coverage buffer: per scanline, the sorted list of spans that no opaque
// polygon has drawn yet. The world is drawn front to back and every opaque
// fill draws only inside these spans and removes what it drew, so the world
// needs neither a depth buffer nor sorting, and whole subtrees can be skipped
// when their screen rectangle lies over covered pixels.
//
// See-through polygons (colour-keyed or translucent) claim nothing: their
// still-uncovered spans are recorded as the pass meets them and drawn back to
// front at the end of the frame (FinishFrameSpans).
#include <cstdint>

#include "engine/records.h"
#include "render/screen_vertex.h"

inline constexpr int kCoverageNodeCount = 16448;
inline constexpr int kCoverageMaxLines = 1024;
inline constexpr std::int32_t kCoverageNone = -1;
inline constexpr int kSeeThroughMaxPolygons = 1000;
inline constexpr int kSeeThroughMaxSpans = 50000;

// One static instance (g_Coverage); nodes are linked by index.
struct CoverageBuffer {
  // A node is the uncovered columns [start, end) of one line; start < end.
  std::int32_t start[kCoverageNodeCount];
  std::int32_t end[kCoverageNodeCount];
  std::int32_t next[kCoverageNodeCount];  // kCoverageNone = last
  std::int32_t prev[kCoverageNodeCount];
  // First node of each line, kCoverageNone when the line is fully covered.
  std::int32_t lineHeads[kCoverageMaxLines];
  std::int32_t freeHead;  // free nodes chain through next; kCoverageNone = exhausted
  std::int32_t openLineCount;
  // Every line outside [firstOpenLine, endOpenLine) is fully covered.
  std::int32_t firstOpenLine;
  std::int32_t endOpenLine;
  // Size of the view at the last reset; lines at and below height have no
  // nodes.
  std::int32_t width;
  std::int32_t height;
  bool initialised;
};
extern CoverageBuffer g_Coverage;

// One see-through fragment met by the pass, with the number of spans
// recorded for it (its spans follow those of the polygon before it).
struct SeeThroughPolygon {
  BspFragment* fragment;
  std::int32_t spanCount;
};
struct SeeThroughSpan {
  std::uint16_t line;
  std::uint16_t first;
  std::uint16_t end;  // exclusive
};
struct SeeThroughLists {
  SeeThroughPolygon polygons[kSeeThroughMaxPolygons];
  std::int32_t polygonCount;
  SeeThroughSpan spans[kSeeThroughMaxSpans];
  std::int32_t spanCount;
};
extern SeeThroughLists g_SeeThrough;

// Starts a frame: every line 0 .. height - 1 becomes one span [0, width), all
// nodes of the previous frame return to the pool, the see-through lists and
// the overflow counters are emptied. Returns 1, or 0 for a view the buffer
// cannot hold (taller than 1024 lines, wider than the fillers' reciprocal
// table, or negative): then every line counts as covered and nothing draws.
int CoverageReset(View* view);

// Claims the uncovered columns of [x0, x1) on line y. 1 when any was
// uncovered (g_PixelsDrawn grows by their count), else 0.
int CoverageClaimSpan(int x0, int x1, int y);

// 1 when nothing of the rectangle, grown by one pixel on every side (ends
// exclusive after growing), is uncovered.
int CoverageRectHidden(View* view, int x0, int y0, int x1, int y1);

// Claims the polygon's uncovered pixels without writing any; returns how many.
int PolygonCoverOnly(View* view, ScreenVertex* vertices, ScreenVertex* end);

// Writes the palette index colour (low byte) into every pixel of the polygon
// that was uncovered, and claims them.
void FillPolygonFlat(View* view, ScreenVertex* vertices, ScreenVertex* end, int colour);

// Ends a software frame: fills what stayed uncovered with the background
// colour (when g_BackgroundFill is set), clears the z entries there, then
// draws the recorded see-through polygons back to front.
void FinishFrameSpans(View* view);

// Records a see-through span; 0 (counted as dropped) when the list is full.
int SeeThroughRecordSpan(int line, int first, int end);
// Ends recording for one fragment whose spans began at spanCountBefore: the
// fragment is appended when it recorded any span; when the polygon list is
// full its spans are removed again (counted as dropped).
void SeeThroughEndPolygon(BspFragment* fragment, int spanCountBefore);
