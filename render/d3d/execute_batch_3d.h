#pragma once
// The per-frame drawing side of korvane3d's Direct3D back end. The engine's
// hardware pass hands it screen polygons of PolyVertex records through
// AddPolygon3D (the view's drawPolygon in every game frame), which converts
// each into transformed-and-lit vertices and collects up to 500 polygons
// (8,000 vertices); FlushPolygons3D writes a batch into the one execute
// buffer with the texture and material changes between polygons and
// executes it. Two-vertex calls are 2-D lines, queued (at most 100 a frame)
// and drawn when the scene ends. There is no z-buffer: the order of the
// calls is the drawing order (back to front).
//
// A frame: GetDisplaySize3D, BeginScene3D, SetViewportTop3D,
// ClearViewport3D, RenderWorld (whose hand-over calls AddPolygon3D),
// optionally the screen tint, FlushPolygons3D, EndScene3D, then the overlay
// blits.
#include "engine/records.h"
#include "platform/direct3d.h"

inline constexpr int kBatchPolygons3D = 500;
inline constexpr int kBatchVertices3D = 8000;
inline constexpr int kLineQueue3D = 100;
// A polygon of more vertices is drawn as fans of at most this many.
inline constexpr int kPolygonPieceVertices3D = 64;

// The device's BeginScene; the texture slots are checked against the
// engine's list and the frame counter advances.
void BeginScene3D();
// The ViewDrawPolygonFn contract (engine/records.h).
void AddPolygon3D(int n, PolyVertex* vertices, Texture* texture, int colour);
// Executes and empties the batch.
void FlushPolygons3D();
// Draws the queued lines, then the device's EndScene (polygons are not
// flushed).
HRESULT EndScene3D();
// Queues a line in view pixels (half the display's); the 101st of a frame
// is dropped.
void QueueLine3D(float x0, float y0, float x1, float y1, int colour);
void FlushLines3D();
// Draws a polyline of n records (x, y, z, and the integer red, green and
// blue fields) in one execution.
void DrawLines3D(int n, PolyVertex* records);
// Clears (0, top) to (mode width, bottom) of the viewport.
void ClearViewport3D(int fullScreen, int top, int bottom);
void SetViewportTop3D(int top);
void SetLightBias3D(float bias);

// What the batch holds now (tests).
int BatchPolygonCount3D();
int BatchVertexCount3D();
int LineQueueCount3D();
// The staged vertex i of the batch (tests).
const D3DTLVERTEX& BatchVertex3D(int i);
