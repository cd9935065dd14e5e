#include "engine/depth_cue.h"

float g_DepthCueFar = -1.0f;
float g_DepthCueStartSquared = 0.0f;
float g_DepthCueInverseRange = 1.0f;

void DepthCueSet(float start, float far) {
  if (start > far) start = 0.0f;
  g_DepthCueStartSquared = start * start;
  g_DepthCueFar = far;
  const float range = far * far - g_DepthCueStartSquared;
  // start == far would divide by zero; DepthCueFactor treats the empty range
  // as an edge instead.
  g_DepthCueInverseRange = range > 0.0f ? 1.0f / range : 0.0f;
}

float DepthCueFar() { return g_DepthCueFar; }

int DepthCueOn() { return g_DepthCueFar > 0.0f ? 1 : 0; }

float DepthCueFactor(float distanceSquared) {
  if (!(g_DepthCueFar > 0.0f) || distanceSquared < g_DepthCueStartSquared) return 1.0f;
  if (g_DepthCueInverseRange == 0.0f) return 0.0f;
  const float factor = 1.0f - (distanceSquared - g_DepthCueStartSquared) * g_DepthCueInverseRange;
  return factor > 0.0f ? factor : 0.0f;
}
