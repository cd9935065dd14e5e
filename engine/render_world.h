#pragma once
// One frame of a world for one view. RenderWorld prepares the frame (stamp,
// camera, moved groups, posed instances, the per-vertex caches, the coverage
// buffer), runs the software BSP pass into the view's 8-bit pixel block or
// the hardware pass into the polygon queue, draws what comes after the
// traversal (world lines, z-buffered instances) and cleans up.
//
// The state below is owned by RenderWorld and read by the passes; it is
// valid from the start of a frame to its end (the switches, counters and
// g_HardwareFrame stay set until the next frame).
#include <cstdint>

#include "engine/records.h"

// The world's vertex pool positions, published for the passes.
extern const float* g_WorldVertexX;
extern const float* g_WorldVertexY;
extern const float* g_WorldVertexZ;

// Software vertex cache, one entry per entry of the world's vertex pool:
// 16.16 screen position, camera depth rounded to an integer, and the state
// byte (kVertexUnseen, kVertexBehind, kVertexNear, kVertexProjected).
extern std::int32_t* g_VertexScreenX;
extern std::int32_t* g_VertexScreenY;
extern std::int32_t* g_VertexDepth;
extern std::uint8_t* g_VertexState;
// The hardware pass's cache of the same length (exact floats); the state
// bytes are shared.
extern float* g_HwVertexScreenX;
extern float* g_HwVertexScreenY;
extern float* g_HwVertexDepth;
extern float* g_HwVertexInvDepth;
// Entries in the caches above.
extern std::int32_t g_VertexCacheSize;

// Light switches of the frame, 0 or 1, from RenderFlags 0x100, 0x200, 0x400.
extern int g_LightsOn;
extern int g_LightSpotsOn;
extern int g_InstanceVertexLighting;

// RenderFlags & kRenderHardware of the current (or last) frame.
extern int g_HardwareFrame;
// The flags of the last frame, stored as it starts.
extern RenderFlags g_RenderFlagsLastFrame;
// The world being drawn; the lighting reads its lights.
extern World* g_CurrentWorld;
// 1 while the frame draws instances after the world against the software
// z-buffer (RenderInstancesZBuffered): posing then gives them no BSP
// fragments.
extern int g_InstancesZBuffered;

// Frame counters for the statistics overlay; they only grow within a frame
// and RenderWorld zeroes them at its start. BSP nodes entered, and instance
// fragments pushed down the tree. (Polygons handed to the set-ups, polygons
// that wrote a pixel and pixels written are the rasteriser's counters,
// render/render_stats.h.)
extern std::uint32_t g_StatNodes;
extern std::uint32_t g_StatNewPres;

// Draws one frame of world for view (see above). The view's camera matrix,
// focal length, size, target (software) or drawPolygon (hardware), pitch,
// first row and flags must be set. Afterwards the current matrix is the
// frame's camera matrix and view->position holds the eye. Nothing for a null
// world or view.
void RenderWorld(World* world, View* view);

// 1 while instances are drawn after the world against the software z-buffer
// instead of through the BSP: a z-buffer exists and the frame is a software
// frame (a hardware frame has no pixel rows to test against).
int RenderInstancesZBuffered(const View* view);

// 4096 when the last frame went to the hardware polygon queue, else 0.
int HardwareModeActive();
