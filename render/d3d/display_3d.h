#pragma once
// korvane3d's Direct3D device and display set-up: finding the DirectDraw
// driver and the Direct3D device, choosing the display mode, making the
// surfaces, the device, the viewport's background and the render states. The
// interface manager calls InitDirect3D once at start-up, then, each time it
// enters full screen, InitDisplay3D, CreateDevice3D, CreateBackground3D,
// ResetRenderStateDefaults3D and SetRenderStates3D in that order, stopping
// at the first that fails (0). What a function made before failing stays in
// its out parameters or the module for the release functions.
//
// The display side is complete: the driver (the primary display driver when
// no driver with a GUID has 3-D hardware), the mode (the first 640x480 mode
// the device renders at, else the last such 800x600 one), a primary surface
// with one back buffer, and in 8-bit modes a palette of the system colours on
// both. The device is the stand-in's one hardware device, which renders at
// 16 bits per pixel; its device, background and render-state calls are
// accepted and draw nothing until the triangle back end gives them bodies.
#include "platform/direct3d.h"
#include "platform/direct_draw.h"

// Creates the DirectDraw objects (*current = *display = *accelerator when
// the primary display driver is used), reads the desktop and display modes
// and gets the Direct3D interface; *notFound = 0 and *mustFullScreen when a
// hardware device was found. 1 exactly when one was.
int InitDirect3D(IDirectDraw** current, IDirect3D** direct3D, IDirectDraw** display, IDirectDraw** accelerator,
                 int* notFound, int* mustFullScreen);
// Exclusive full-screen level for window, the chosen mode, the flip chain
// (*front, *back) and in 8-bit modes the palette; *zBuffer and *clipper stay
// null. A failing cooperative level is traced to the debugger output.
int InitDisplay3D(HWND window, int fullScreen, IDirectDraw* directDraw, IDirectDrawSurface** front,
                  IDirectDrawSurface** back, IDirectDrawSurface** zBuffer, IDirectDrawClipper** clipper,
                  IDirectDrawPalette** palette);
int CreateDevice3D(IDirect3D* direct3D, IDirectDrawSurface* back, int fullScreen);
int CreateBackground3D(IDirect3D* direct3D);
void ResetRenderStateDefaults3D();
int SetRenderStates3D();
void ReleaseExecuteBuffer3D();
void ReleaseDevice3D();
void ReleaseBackgroundMaterial3D();
void FreeTextureFormats3D();

// The width and height of the chosen display mode (0 before InitDisplay3D).
void GetDisplaySize3D(int* width, int* height);
