#include "apps/korvane3d/direct3d_overlays.h"

#include "game/data_archive_locator.h"
#include "game/interface_manager.h"
#include "render/d3d/overlays_3d.h"

Direct3DOverlayBitmaps::~Direct3DOverlayBitmaps() = default;

bool Direct3DOverlayBitmaps::Load(int index, const char* member, const char* archive) {
  // The archive is looked for where the game's own readers look.
  return LoadOverlayBitmap3D(index, member, FindDataArchive(archive).c_str()) != 0;
}

void Direct3DOverlayBitmaps::Blit(int x, int y, int left, int top, int right, int bottom, int index) {
  if (g_pInterface) BlitOverlayBitmap3D(x, y, left, top, right, bottom, index, g_pInterface->GetBackSurface());
}

void Direct3DOverlayBitmaps::BlitBothPages(int x, int y, int left, int top, int right, int bottom, int index) {
  Blit(x, y, left, top, right, bottom, index);
  if (g_pInterface && g_pInterface->IsPresentByFlip())
    BlitOverlayBitmap3D(x, y, left, top, right, bottom, index, g_pInterface->GetPrimarySurface());
}

bool Direct3DOverlayBitmaps::LoadFromTexture(int index, const char* name) {
  LoadOverlayFromTexture3D(index, name);
  const OverlayRecord3D* record = OverlayRecord3DAt(index);
  return record && record->surface;
}

void Direct3DOverlayBitmaps::Release(int index) { ReleaseOverlayBitmap3D(index); }
