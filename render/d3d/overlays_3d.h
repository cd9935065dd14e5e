#pragma once
// korvane3d's overlay surfaces: 2-D pictures put over the rendered 3-D frame
// (the cockpit, the pilot's hands, the cursors, the cockpit panels' frames).
// Each is an off-screen surface in system memory, made from an 8-bit bitmap
// member of a data archive or from an engine texture, and blitted onto the
// back buffer after the scene, with a source colour key where the picture
// has pixels of palette index 255.
//
// Positions are in the 640x480 layout of the 2-D layer; on a larger display
// mode the layer stands centred (GetDisplayOrigin3D), and parts of a picture
// that fall off the target are clipped, negative positions included.
#include "platform/direct_draw.h"
#include "platform/gdi.h"

// The overlay indices: the cockpit, the hands, the two cursors and the ten
// frames of each of the four cockpit panels.
inline constexpr int kOverlayCount3D = 64;

struct OverlayRecord3D {
  IDirectDrawSurface* surface;
  int width;   // for a texture: rounded up to a multiple of 4
  int height;
  int keyed;  // the picture has an index-255 pixel; the surface has a source colour key
  BITMAPINFO* bitmapInfo;
  HBITMAP bitmap;
};

// The record at index, or null outside 0..kOverlayCount3D - 1 (tests).
const OverlayRecord3D* OverlayRecord3DAt(int index);
// Empties every record without releasing anything (the back end's start).
void ClearOverlayRecords3D();

// Loads an 8-bit bitmap member of archive into overlay index (an occupied
// index is released first); 0 when the index, the archive, the member or
// the bitmap is bad, the overlay then empty. The archive open before the
// call, if any, is open again afterwards.
int LoadOverlayBitmap3D(int index, const char* member, const char* archive);
// The same from an 8-bit BMP file at path (a picture beside the archives).
int LoadOverlayBitmapFile3D(int index, const char* path);
// Makes overlay index from the first engine texture of that name (any case);
// nothing for an unknown name or a bad index.
void LoadOverlayFromTexture3D(int index, const char* name);
// Copies [left, right) x [top, bottom) of overlay index to (x, y) of the
// destination, clipped to the overlay and the destination. A failing blit is
// traced to the debugger output.
void BlitOverlayBitmap3D(int x, int y, int left, int top, int right, int bottom, int index,
                         IDirectDrawSurface* destination);
void ReleaseOverlayBitmap3D(int index);
void ReleaseAllOverlays3D();
