#pragma once
// Light levels of world polygon and instance vertices, computed per vertex
// during a frame from the world's lights, the vertex's own light and the
// depth cue (engine/depth_cue.h).
//
// A level goes to the rasteriser as 16.16: round(f x 1966079) + 0x8000 for
// f in 0..1, so that the shade-table row (level >> 16) runs 0..30.
#include "engine/records.h"

// 1 at start. The world passes set it before each world fragment: 0 for a
// polygon with flag 0x20 (own vertex light and depth cue only), else 1. Both
// lighting functions add no light source while it is 0. Instance faces do
// not set it; they see what the last world fragment left.
extern int g_SurfaceTakesLights;
// The base light of instance vertices whose instance has no ambient of its
// own (a negative ownAmbient). Level loading sets 1.0.
extern float g_InstanceAmbientDefault;
// The eye in the frame of the instance node being lit; placed with the
// lights' scratch positions by LightingPlaceInFrame.
extern Vec3 g_InstanceEyePosition;

void SetInstanceAmbientDefault(float level);

// f in 0..1 (a value that is not a number counts as 0) as a 16.16 level.
int LightLevelFromFloat(float f);

// A world-space point with its surface normal and its own light base (0..1)
// in g_CurrentWorld: base + every point light (not type 4) of the first list
// that is within its radius on every axis and in all, and in front of the
// surface: halfPower x dot / max(d^2, 1) with d the vector to the light (not
// normalised); clamped to 0..1; times the depth-cue factor at the point's
// squared distance from g_CameraPosition.
int LightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base);
// The same in an instance's local frame, against the lights' scratch
// positions and g_InstanceEyePosition: the sphere-light list first, then the
// first list; a sphere light (type 4) adds (1 - d^2 / radius^2) x intensity
// with no normal test; another light adds halfPower x dot / d^2.
int InstanceLightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base);
// InstanceLightingAtPoint with the lights' colours: each light adds its red,
// green and blue times its factor to the three sums (which the caller sets
// first), neither clamped nor depth-cued.
int InstanceColourLightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base, float* red,
                                  float* green, float* blue);

// Places every light of the world's two lists (scratch positions) and the
// eye (g_CameraPosition into g_InstanceEyePosition) in the frame that
// worldToLocal maps world points into. Null-safe.
void LightingPlaceInFrame(World* world, const float worldToLocal[16]);
