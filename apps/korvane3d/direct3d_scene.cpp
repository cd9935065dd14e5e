// korvane3d's 3-D scene of a game frame: the world through the engine's
// hardware pass into the triangle device, at half the display's size (the
// device doubles screen coordinates), with the cockpit's band from row 64.
#include "apps/korvane3d/direct3d_variant.h"
#include "engine/render_world.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/execute_batch_3d.h"

namespace {
constexpr int kCockpitTop = 64;
constexpr int kCockpitBottom = 312;
constexpr int kCockpitViewHeight = 124;
}  // namespace

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
  // The screen tint's quad and the overlay crosshair come with the
  // device's overlays.
  netView.ClearTint();
  FlushPolygons3D();
  if (g_pNetDoc) g_pNetDoc->UpdateTargetList();
  EndScene3D();
}
