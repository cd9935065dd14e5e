#pragma once
// The depth cue's distances: everything fades toward black between the start
// and the far distance. The far distance also bounds the view (the far
// frustum plane) and the particles; -1.0 means the cue is off.

extern float g_DepthCueFar;           // -1.0 at start: off
extern float g_DepthCueStartSquared;  // start distance squared
extern float g_DepthCueInverseRange;  // 1 / (far^2 - start^2); 0 when the range is empty

// Stores start and far; a start beyond far becomes 0, so (300, -1) turns the
// cue off.
void DepthCueSet(float start, float far);
float DepthCueFar();
