// korvane3d's 3-D scene of a game frame: the world through the engine's
// hardware pass into the triangle device, at half the display's size (the
// device doubles screen coordinates), with the cockpit's band from row 64;
// then the crosshair over it; the view puts the cockpit picture on after it.
#include "apps/korvane3d/direct3d_variant.h"
#include "engine/render_world.h"
#include "game/data_archive_locator.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/overlay_bitmaps.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/overlays_3d.h"

namespace {
constexpr int kCockpitTop = 64;
constexpr int kCockpitBottom = 312;
constexpr int kCockpitViewHeight = 124;
// The overlay slots the view loads (CNetView::LoadCockpitBitmaps).
constexpr int kCockpitOverlay = 0;
constexpr const char* kCockpitFile = "!cockpit.bmp";
constexpr int kCrosshairOverlay = 10;
constexpr int kCrosshairSize = 21;
// The rows of the cockpit picture beside the 3-D band, drawn every frame.
constexpr int kCockpitBandBottom = 322;
}  // namespace

void Direct3DVariant::DrawCrosshair(CNetView& netView) {
  if (!g_pInterface || (g_pNetDoc && g_pNetDoc->IsExternalView())) return;
  // The half-size view's width and height are the screen's centre.
  const View& view = netView.GetViewRecord();
  const int top = g_pInterface->IsCockpitShown() ? kCockpitTop : 0;
  BlitOverlayBitmap3D(view.width - kCrosshairSize / 2, view.height + top - kCrosshairSize / 2, 0, 0, kCrosshairSize,
                      kCrosshairSize, kCrosshairOverlay, g_pInterface->GetBackSurface());
}

void Direct3DVariant::DrawCockpit(CNetView& netView) {
  if (!g_pInterface || !g_pInterface->IsCockpitShown()) return;
  IDirectDrawSurface* back = g_pInterface->GetBackSurface();
  if (netView.IsCockpitRedrawDue()) {
    BlitOverlayBitmap3D(0, 0, 0, 0, 640, 480, kCockpitOverlay, back);
    if (g_pInterface->IsPresentByFlip())
      BlitOverlayBitmap3D(0, 0, 0, 0, 640, 480, kCockpitOverlay, g_pInterface->GetPrimarySurface());
  } else {
    BlitOverlayBitmap3D(0, kCockpitTop, 0, kCockpitTop, 640, kCockpitBandBottom, kCockpitOverlay, back);
  }
}

void Direct3DVariant::RenderScene(CNetView& netView) {
  View& view = netView.GetViewRecord();
  int width = 0, height = 0;
  GetDisplaySize3D(&width, &height);
  BeginScene3D();
  const bool cockpit = g_pInterface && g_pInterface->IsCockpitShown();
  view.pitch = width;
  view.width = width / 2;
  view.height = cockpit ? kCockpitViewHeight : height / 2;
  SetViewportTop3D(cockpit ? kCockpitTop : 0);
  view.drawPolygon = AddPolygon3D;
  view.flags |= kRenderHardware | kRenderHandOver;
  view.focal = static_cast<float>(view.width) * netView.GetProjectionFactor();
  ClearViewport3D(1, cockpit ? kCockpitTop : 0, cockpit ? kCockpitBottom : height);
  g_StatNodes = 0;
  if (g_pNetDoc) g_pNetDoc->HideOwnShip();
  RenderWorld(g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr, &view);
  if (g_pNetDoc) g_pNetDoc->ShowOwnShip();
  // The screen tint's quad waits for the device's blending of untextured
  // quads.
  netView.ClearTint();
  FlushPolygons3D();
  if (g_pNetDoc) g_pNetDoc->UpdateTargetList();
  EndScene3D();
  // The overlays go onto the finished scene.
  if (!netView.IsScreenshotRequested() && !(g_pNetDoc && g_pNetDoc->IsScriptCameraActive())) DrawCrosshair(netView);
}

void Direct3DVariant::LoadCockpitPicture(CNetView& /*netView*/) {
  // The view has made overlay 0 from the level's texture "!cockpit.bmp";
  // a texture set without one leaves the picture to the file of that name
  // beside the archives, the one korvanesw loads, at its full size.
  // Only with the program's overlay set, which the view lets go of again.
  if (!OverlayBitmapsInstalled()) return;
  const OverlayRecord3D* cockpit = OverlayRecord3DAt(kCockpitOverlay);
  if (cockpit && cockpit->surface) return;
  LoadOverlayBitmapFile3D(kCockpitOverlay, FindDataFile(kCockpitFile).c_str());
}
