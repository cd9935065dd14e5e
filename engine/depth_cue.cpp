#include "engine/depth_cue.h"

float g_DepthCueFar = -1.0f;
float g_DepthCueStartSquared = 0.0f;
float g_DepthCueInverseRange = 1.0f;

void DepthCueSet(float start, float far) {
  if (start > far) start = 0.0f;
  g_DepthCueStartSquared = start * start;
  g_DepthCueFar = far;
  const float range = far * far - g_DepthCueStartSquared;
  // An empty range (start == far) would divide by zero; it fades nothing.
  g_DepthCueInverseRange = range > 0.0f ? 1.0f / range : 0.0f;
}

float DepthCueFar() { return g_DepthCueFar; }
