#include "render/single_span.h"

#include "render/perspective_piece.h"
#include "render/raster_state.h"
#include "render/span_families.h"

namespace {

void DrawSingleSpan(const SpanRoutine* family, bool stippled) {
  RasterState& r = g_Raster;
  const int entry = RasterTextureEntry();
  if (entry < 0) return;
  const int line = r.spanLine;
  const int first = r.spanFirst;
  const int end = r.spanEnd;
  if (!r.spanTarget || line < 0 || line >= r.height || first < 0 || end > r.width || first >= end) return;
  std::uint8_t* rowStart = r.spanTarget - first;
  r.spanRowStart = rowStart;  // the stipple's column parity is taken from here
  if (stippled) r.rowParity = line & 1;
  DrawPerspectivePiece(line, first, end, rowStart, entry, family);
}

}  // namespace

void DrawPolyTexKey() { DrawSingleSpan(SpanTexKey, false); }

void DrawPolyTexKeyTranslucent() { DrawSingleSpan(SpanTexKeyTranslucent, true); }

void DrawPolyTexTranslucent() { DrawSingleSpan(SpanTexTranslucent, true); }
