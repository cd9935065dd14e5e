#include "platform/direct3d.h"

#include "platform/direct_draw_internal.h"

HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Direct3DCreate)) return fault;
  if (!directDraw || !direct3D) return DDERR_INVALIDPARAMS;
  *direct3D = new IDirect3D();
  return DD_OK;
}
