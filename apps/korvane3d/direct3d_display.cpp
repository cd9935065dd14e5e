// korvane3d's display under the interface manager: the Direct3D back end
// makes the DirectDraw objects, the display mode, the surfaces and the
// device.
#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "platform/debug_output.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/texture_slots_3d.h"

int CInterface::InitDirect3DObjects() {
  int notFound = 1, mustFullScreen = 0;
  const int found =
      ::InitDirect3D(&directDraw_, &direct3D_, &displayDD_, &acceleratorDD_, &notFound, &mustFullScreen);
  if (!found && notFound) {
    // The program ends on its fatal-error path; the player learns why first.
    const std::string text = std::string("korvane3d needs a Direct3D hardware device and found none: ") +
                             Direct3DMissingReason() + ".";
    MessageBox(nullptr, text.c_str(), "korvane3d", MB_OK | MB_ICONHAND);
  }
  return found;
}

bool CInterface::EnterFullScreen3D() {
  if (!::InitDisplay3D(GetWindow()->m_hWnd, 1, directDraw_, &primary_, &back_, &zBuffer_, &clipper_,
                       &displayPalette_))
    return false;
  ClearSurfaces();
  if (!CreateDevice3D(direct3D_, back_, 1) || !CreateBackground3D(direct3D_)) return false;
  ResetRenderStateDefaults3D();
  if (!SetRenderStates3D()) return false;
  GetDisplaySize3D(&screenWidth_, &screenHeight_);
  GetDisplayOrigin3D(&layerOriginX_, &layerOriginY_);
  readyToRender_ = 1;
  CreateVideoSurface();
  // Texture handles belong to a device: the slots are built for this one
  // (again when the display was left and entered anew).
  LoadAllTextures3D();
  return true;
}

int Direct3DVariant::InitDisplay(CInterface& ui) { return ui.InitDirect3DObjects(); }

bool Direct3DVariant::EnterFullScreen(CInterface& ui, int /*mode*/) {
  if (ui.EnterFullScreen3D()) return true;
  ui.AbandonFullScreen();
  return false;
}

void Direct3DVariant::ReleaseDeviceTextures() { FreeTextureSlots3D(); }

void Direct3DVariant::LoadDeviceTextures() { LoadAllTextures3D(); }

void Direct3DVariant::ReleaseDevice3D() {
  FreeTextureSlots3D();  // their copies and handles belong to the device
  ReleaseExecuteBuffer3D();
  ::ReleaseDevice3D();
  ReleaseBackgroundMaterial3D();
  FreeTextureFormats3D();
}
