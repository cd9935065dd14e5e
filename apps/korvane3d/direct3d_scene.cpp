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
#include "render/d3d/texture_slots_3d.h"

namespace {
constexpr int kCockpitTop = 64;
constexpr int kCockpitBottom = 312;
constexpr int kCockpitViewHeight = 124;
// The overlay slots the view loads (CNetView::LoadCockpitBitmaps).
constexpr int kCockpitOverlay = 0;
constexpr const char* kCockpitFile = "!cockpit.bmp";
constexpr int kCrosshairOverlay = 10;
constexpr int kTargetMarkerOverlay = 11;
constexpr uint8_t kGunAutocannon = 1;
constexpr int kCockpitBand = 248;
constexpr float kDisplayScale = 32768.0f;
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
  if (!g_pNetDoc) return;
  // The target marker, in half-size view pixels: where auto-aim put it while
  // the fire key is held (it is let go once fire is up), else the centre.
  int mx = view.width / 2;
  int my = view.height / 2;
  if (g_pNetDoc->IsTargetMarkerValid()) {
    mx = g_pNetDoc->GetTargetMarkerX();
    my = g_pNetDoc->GetTargetMarkerY();
    if (!g_pNetDoc->IsFireHeld()) g_pNetDoc->PlaceTargetMarker(mx, my, false);
  } else {
    g_pNetDoc->PlaceTargetMarker(mx, my, true);
  }
  if (!(g_pNetDoc->GetSelectedGun() & kGunAutocannon)) return;
  BlitOverlayBitmap3D(2 * mx - kCrosshairSize / 2, 2 * my + top - kCrosshairSize / 2, 0, 0, kCrosshairSize,
                      kCrosshairSize, kTargetMarkerOverlay, g_pInterface->GetBackSurface());
}

namespace {

// The screen tint as one quad over the 3-D area in the device's coordinate
// scale (32768 a display pixel), its colour and alpha the vertices' own.
void AddTintQuad(const float* tint, bool cockpit) {
  const float width = 640.0f * kDisplayScale;
  const float height = static_cast<float>(cockpit ? kCockpitBand : 480) * kDisplayScale;
  const float corners[4][2] = {{0, 0}, {0, height}, {width, height}, {width, 0}};
  PolyVertex quad[4] = {};
  for (int i = 0; i < 4; ++i) {
    quad[i].x = corners[i][0];
    quad[i].y = corners[i][1];
    quad[i].z = 1.0f;
    quad[i].rhw = 1.0f;
    quad[i].red = tint[0];
    quad[i].green = tint[1];
    quad[i].blue = tint[2];
    quad[i].light = tint[3];
  }
  AddPolygon3D(4, quad, nullptr, kPolyColourOwn);
}

}  // namespace

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
  netView.ChargeProfile(kProfileRend);
  RenderWorld(g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr, &view);
  if (g_pNetDoc) g_pNetDoc->ShowOwnShip();
  // The screen tint (hit flash, explosion, hazard, shield) goes over the
  // scene where the device can blend it.
  if (netView.IsTintPending() && DeviceHasCapsBits3D()) AddTintQuad(netView.GetTint(), cockpit);
  netView.ClearTint();
  netView.ChargeProfile(kProfileDyn);
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

void Direct3DVariant::DeviceTextureCounts(int* inDevice, int* bytes, int* current) {
  *inDevice = *bytes = *current = 0;
  if (!g_D3DTextureSlots) return;
  for (int i = 0; i < g_D3DTextureSlotCount; ++i) {
    const TextureSlot3D& slot = g_D3DTextureSlots[i];
    if (!slot.videoSurface) continue;
    ++*inDevice;
    DDSURFACEDESC desc;
    if (slot.videoSurface->GetSurfaceDesc(&desc) == DD_OK) *bytes += desc.lPitch * static_cast<int>(desc.dwHeight);
    if (slot.lastUsed == g_D3DFrameCounter) ++*current;
  }
}
