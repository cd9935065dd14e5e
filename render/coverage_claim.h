#pragma once
// The claim rule shared by every opaque fill, and the open-line bookkeeping.
// Rasteriser-internal: fills call CoverageClaim with a drawing callback.
#include <algorithm>
#include <cstdint>

#include "render/coverage_buffer.h"
#include "render/render_stats.h"

// Takes a free node, or kCoverageNone when the pool is exhausted.
inline std::int32_t CoverageTakeNode() {
  CoverageBuffer& c = g_Coverage;
  const std::int32_t node = c.freeHead;
  if (node != kCoverageNone) c.freeHead = c.next[node];
  return node;
}

inline void CoverageFreeNode(std::int32_t node) {
  CoverageBuffer& c = g_Coverage;
  c.next[node] = c.freeHead;
  c.freeHead = node;
}

// Line y has just lost its last node. The open-line bounds move only when
// updateBounds is set (the polygon fillers); the other fills leave them as
// a conservative range.
inline void CoverageLineEmptied(int y, bool updateBounds) {
  CoverageBuffer& c = g_Coverage;
  --c.openLineCount;
  if (!updateBounds) return;
  if (y == c.firstOpenLine) {
    while (c.firstOpenLine < c.endOpenLine && c.lineHeads[c.firstOpenLine] == kCoverageNone) ++c.firstOpenLine;
  }
  if (y == c.endOpenLine - 1) {
    while (c.endOpenLine > c.firstOpenLine && c.lineHeads[c.endOpenLine - 1] == kCoverageNone) --c.endOpenLine;
  }
}

// Removes node from line y's list and frees it.
inline void CoverageUnlink(int y, std::int32_t node, bool updateBounds) {
  CoverageBuffer& c = g_Coverage;
  const std::int32_t before = c.prev[node];
  const std::int32_t after = c.next[node];
  if (before != kCoverageNone) {
    c.next[before] = after;
  } else {
    c.lineHeads[y] = after;
  }
  if (after != kCoverageNone) c.prev[after] = before;
  CoverageFreeNode(node);
  if (c.lineHeads[y] == kCoverageNone) CoverageLineEmptied(y, updateBounds);
}

// Claims the uncovered columns of [a, b) on line y (0 <= y < 1024). For each
// uncovered piece [x0, x1), draw(x0, x1) runs first; then the piece is
// claimed. countPixels: add the piece widths to g_PixelsDrawn (fills whose
// span routines count their own pixels pass false). Returns the pixels
// claimed or drawn.
template <typename Draw>
inline int CoverageClaim(int y, int a, int b, bool countPixels, bool updateBounds, Draw&& draw) {
  CoverageBuffer& c = g_Coverage;
  int claimed = 0;
  std::int32_t node = c.lineHeads[y];
  while (node != kCoverageNone) {
    const std::int32_t s = c.start[node];
    const std::int32_t e = c.end[node];
    if (s >= b) break;
    const std::int32_t after = c.next[node];
    if (e <= a) {
      node = after;
      continue;
    }
    const std::int32_t pieceStart = std::max(a, s);
    const std::int32_t pieceEnd = std::min(b, e);
    draw(pieceStart, pieceEnd);
    claimed += pieceEnd - pieceStart;
    if (countPixels) g_PixelsDrawn += static_cast<std::uint32_t>(pieceEnd - pieceStart);
    if (pieceStart > s && pieceEnd < e) {
      // Split: the node keeps [s, pieceStart), a new node takes [pieceEnd, e).
      const std::int32_t rest = CoverageTakeNode();
      if (rest == kCoverageNone) {
        ++g_StatSpanNodesExhausted;  // the piece stays uncovered
        break;
      }
      c.start[rest] = pieceEnd;
      c.end[rest] = e;
      c.prev[rest] = node;
      c.next[rest] = after;
      if (after != kCoverageNone) c.prev[after] = rest;
      c.next[node] = rest;
      c.end[node] = pieceStart;
      break;
    }
    if (pieceStart > s) {
      c.end[node] = pieceStart;
    } else if (pieceEnd < e) {
      c.start[node] = pieceEnd;
      break;
    } else {
      CoverageUnlink(y, node, updateBounds);
    }
    node = after;
  }
  return claimed;
}
