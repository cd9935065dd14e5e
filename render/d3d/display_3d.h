#pragma once
// korvane3d's Direct3D device and display set-up: finding the DirectDraw
// driver and the Direct3D device, choosing the display mode, making the
// surfaces, the device with its execute buffer and viewport, the viewport's
// background and the render states. The interface manager calls
// InitDirect3D once at start-up, then, each time it enters full screen,
// InitDisplay3D, CreateDevice3D, CreateBackground3D,
// ResetRenderStateDefaults3D and SetRenderStates3D in that order, stopping at
// the first that fails (0). What a function made before failing stays in its
// out parameters or the module for the release functions.
//
// The accelerator is the first driver with a GUID whose hardware
// capabilities include 3-D; without one the primary display driver serves
// both. The device is the first hardware device of the enumeration; the mode
// is the first 640x480 mode it renders at, else the last such 800x600 one.
#include "platform/direct3d.h"
#include "platform/direct_draw.h"

// Creates the DirectDraw objects (*current = *display = *accelerator when
// the primary display driver is used), reads the desktop and display modes,
// gets the Direct3D interface and the shared material and lists the devices;
// *notFound = 0 and *mustFullScreen (the device does not render at the
// desktop depth) when a hardware device was found. 1 exactly when one was.
int InitDirect3D(IDirectDraw** current, IDirect3D** direct3D, IDirectDraw** display, IDirectDraw** accelerator,
                 int* notFound, int* mustFullScreen);
// Exclusive full-screen level for window, the chosen mode, the flip chain
// (*front, *back) and in 8-bit modes the palette; *zBuffer and *clipper stay
// null. A failing cooperative level is traced to the debugger output.
int InitDisplay3D(HWND window, int fullScreen, IDirectDraw* directDraw, IDirectDrawSurface** front,
                  IDirectDrawSurface** back, IDirectDrawSurface** zBuffer, IDirectDrawClipper** clipper,
                  IDirectDrawPalette** palette);
// The chosen device on the back buffer, the execute buffer, the texture
// formats and the viewport over the whole mode.
int CreateDevice3D(IDirect3D* direct3D, IDirectDrawSurface* back, int fullScreen);
// A black material as the viewport's background.
int CreateBackground3D(IDirect3D* direct3D);
void ResetRenderStateDefaults3D();
// Two executions of render states: the first sets the states the game never
// wants to 0, the second the game's own (15 states, or 19 with the flat
// alpha blending or stippling of the device).
int SetRenderStates3D();
void ReleaseExecuteBuffer3D();
void ReleaseDevice3D();
void ReleaseBackgroundMaterial3D();
void FreeTextureFormats3D();

// The width and height of the chosen display mode (0 before InitDisplay3D).
void GetDisplaySize3D(int* width, int* height);
// Where the 640x480 2-D layer (menus, HUD, overlays) stands on the display:
// centred on a larger mode, (0, 0) on 640x480.
void GetDisplayOrigin3D(int* x, int* y);
// 1 when the chosen device can blend or stipple flat alpha on triangles.
int DeviceHasCapsBits3D();
// Why InitDirect3D found no hardware device: the 3-D device's own reason
// (for the message the program ends with).
const char* Direct3DMissingReason();
