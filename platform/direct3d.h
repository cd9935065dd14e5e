#pragma once
// The Direct3D side of a DirectDraw object: reference counted like the
// DirectDraw objects (platform/direct_draw.h). Only its creation exists so
// far; the triangle back end of korvane3d gives it its device, material,
// viewport and execute-buffer calls, drawn by the 3-D device
// (platform/device_3d.h).
#include "platform/direct_draw.h"

class IDirect3D : public DirectDrawObject {
 private:
  friend HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D);
  IDirect3D() = default;
};

// The Direct3D interface of a DirectDraw object (a new reference). A test
// can make it fail (DDCall::Direct3DCreate).
HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D);
