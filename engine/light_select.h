#pragma once
// The lights that can reach one world fragment, so that lighting its points
// and looking for its light spot walk those few and not every light of a
// large level. A light reaches a point only inside the cube of its radius
// round it (LightingAtPoint), and makes a spot only on a fragment closer
// than four times its size (the light-spot search); the software pass asks
// for the lights whose cube reaches the fragment's box, and gets them in
// the order of the world's light list, so that the sums of the lighting
// and the first light that makes a spot come out exactly as the walk of
// the whole list gives them.
//
// The choice is made from a grid of the lights, built again at the first
// choice after a light has changed (g_LightsChanged, engine/light.h).
// RenderWorld starts and ends each frame's use; outside a frame, or in a
// level of few lights, nothing is chosen and the whole list is walked.
#include "engine/records.h"

// The frame's lights may be chosen from g_CurrentWorld until
// LightSelectFrameEnd.
void LightSelectFrameBegin();
void LightSelectFrameEnd();

// Chooses the lights that can light a point of the box min..max, or make a
// light spot there on a polygon whose normal is normalLength long, and walks
// only those until LightSelectRelease. False, with nothing chosen, when the
// whole list must be walked.
bool LightSelectBox(Vec3 min, Vec3 max, float normalLength);
void LightSelectRelease();

// The lights chosen, in list order, while a choice holds.
struct LightSelection {
  bool active;
  int count;
  const Light* const* lights;
};
extern LightSelection g_LightSelection;
