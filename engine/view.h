#pragma once
// The camera of a frame. A View (engine/records.h) says where the eye is and
// where the frame goes; ViewSetup turns it into the frame camera state that
// every render step shares: the world-to-screen matrix (left as the current
// matrix of the matrix stack), the eye, the target size and the frustum.
//
// Camera space: the camera looks along +z, x grows to the right, y grows
// down the screen. Screen positions are 16.16 fixed point (pixel x 65536).
#include "engine/records.h"

// Frame camera state, valid from one ViewSetup until the next.
extern View* g_CurrentView;
extern Vec3 g_CameraPosition;
extern int g_ViewWidth;  // target size in pixels ...
extern int g_ViewHeight;
extern int g_ViewWidth16;  // ... and in 16.16 (the screen bounds)
extern int g_ViewHeight16;
extern float g_FocalLength;
// World to screen: for a world point P, (X, Y, Z) = P x g_CameraMatrix with
// Z the camera depth and X/Z, Y/Z the 16.16 screen position.
extern Matrix g_CameraMatrix;
// {n, d} with inward unit normals: 0 near, 1 top, 2 left, 3 bottom, 4 right,
// 5 far; the instance-face code appends its leaf planes after them.
extern Plane g_FrustumPlanes[kMaxFrustumPlanes];
extern int g_FrustumPlaneCount;

// Makes view the current view and builds the frame camera state. Within one
// frame stamp a second call for the same view only reloads g_CameraMatrix
// into the current matrix (a changed cameraMatrix waits for the next stamp).
// Leaves g_CameraMatrix as the current matrix.
void ViewSetup(View* view);
// Projects a world point to whole pixels: 0 (outputs untouched) when its
// depth is below 1.0, else 1. The caller's current matrix and the matrix
// stack are left as they were.
int ProjectToScreen(View* view, float x, float y, float z, int* sx, int* sy);
