#pragma once
// The depth cue: everything fades toward black between the start and the far
// distance from the eye. The far distance also bounds the view (the far
// frustum plane) and the particles; -1.0 means the cue is off.
//
// World loading sets (0, the world's far distance), level loading then
// (300, DepthCueFar()), and the game view turns it on and off and flickers
// the far distance.

extern float g_DepthCueFar;           // -1.0 at start: off
extern float g_DepthCueStartSquared;  // start distance squared
extern float g_DepthCueInverseRange;  // 1 / (far^2 - start^2); 0 when the range is empty

// Stores start and far; a start beyond far becomes 0, so (300, -1) turns the
// cue off. Equal distances make an empty range: no division, and the cue
// becomes a hard edge at the far distance.
void DepthCueSet(float start, float far);
float DepthCueFar();
// 1 when the cue is on (far distance above 0).
int DepthCueOn();
// The factor a light level is multiplied by at distanceSquared from the eye:
// 1 with the cue off or before the start, then falling linearly in the
// squared distance to 0 at the far distance, never below 0. With an empty
// range (start = far) everything at or beyond the far distance gets 0.
float DepthCueFactor(float distanceSquared);
