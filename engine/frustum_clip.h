#pragma once
// The software pass's 3-D clipper: a pipeline of stages that a polygon's
// world-space vertices are fed into one at a time. Stages 1 to 5 cut by the
// frustum planes 1 to 5 (top, left, bottom, right, far) of the current view;
// stage 6 cuts just in front of the eye so that no vertex at or behind it is
// ever divided by its depth; the last stage projects with the camera matrix
// and appends the 16.16 screen position (and with light, a light level) to
// the output. The near plane is not a stage: a polygon nearer than depth 1.0
// is drawn, as far as it lies in front of the eye.
//
// Use: ClipReset, feed every vertex at stage 1, ClipClose, then read the
// output. The output holds any fragment of the BSP (at most 16 vertices)
// with every vertex the stages can add; a polygon that would make more (a
// degenerate one, through rounding) is cut short, never written past the end.
#include <cstdint>

#include "engine/records.h"

inline constexpr int kClipFirstStage = 1;
inline constexpr int kClipPlaneStages = 6;  // frustum planes 1..5 and the eye guard
inline constexpr int kClipMaxVertices = kFragmentMaxVertices + kClipPlaneStages + 2;
// The smallest camera depth a clipped vertex can have.
inline constexpr float kClipMinDepth = 1.0f / 64.0f;

// Output: vertex after vertex, (x, y) or, lit, (x, y, light), 32 bits each.
extern std::int32_t g_ClipOutput[kClipMaxVertices * 3];
extern int g_ClipOutputValues;  // values written
extern int g_ClipOutputVertices;
// Polygons that made more vertices than the output holds (cut short).
extern std::uint32_t g_StatClipOverflows;
// Normal the lit variant lights its vertices with (the polygon's world normal).
extern Vec3 g_ClipNormal;

// Empties the output and arms every stage. withLight: the lit variant
// appends LightingAtPoint (vertex, g_ClipNormal, vertex light) to each vertex.
void ClipReset(int withLight);
// Feeds one vertex into the pipeline at a stage (callers use stage 1).
void ClipPolygonToFrustum(int stage, float x, float y, float z);
void ClipLitPolygonToFrustum(int stage, float x, float y, float z, float light);
// Closes the polygon: each stage that received a vertex gets its first
// vertex again, stage after stage.
void ClipClose();

// Clips the segment a-b against the six frustum planes (near included) and
// projects the ends to whole pixels: 1 and the pixels when a piece is left.
int ClipSegmentToPixels(Vec3 a, Vec3 b, int* x0, int* y0, int* x1, int* y1);
