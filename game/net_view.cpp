#include "game/net_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/depth_cue.h"
#include "engine/matrix.h"
#include "engine/palette.h"
#include "game/build_variant.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "media/overlay_bitmaps.h"
#include "media/picture_anim.h"
#include "platform/debug_output.h"
#include "render/raster_state.h"

IMPLEMENT_DYNCREATE_CLASS(CNetView, CView)

namespace {

constexpr RenderFlags kInitialRenderFlags = 0x4781;
constexpr int kMinSide = 16;

constexpr const char* kCockpitArchive = "INTERFC.CAN";
constexpr int kCockpitSlot = 0;  // the hands follow at 1..9
constexpr int kCrosshairSlot = 10;
constexpr int kTargetMarkerSlot = 11;
constexpr int kFirstPanelSlot = 12;
constexpr int kOverlaySlots = 64;
constexpr int kHandsX = 224, kHandsY = 377, kHandsWidth = 209, kHandsHeight = 103;
struct PanelPlace {
  const char* name;
  int x, y;
};
constexpr PanelPlace kPanels[CNetView::kCockpitPanelCount] = {
    {"uright", 358, 66}, {"dash", 246, 333}, {"lleft", 0, 410}, {"lright", 474, 463}};

}  // namespace

int ViewRoundSide(int side) {
  if (side <= 10) side = 10;
  return std::max(kMinSide, (side + 7) / 8 * 8);
}

CNetView::CNetView() {
  if (g_pNetDoc) g_pNetDoc->SetView(this);
  if (g_pInterface) g_pInterface->SetCockpitShown(false);
  lastStepTime_ = GetGameTime();
  depthCueFar_ = DepthCueFar();
  depthCueing_ = depthCueFar_ > -1.0f ? 1 : 0;
  InitViewRecord();
  backgroundClearing_ = 1;
  smoothedFps_ = 20.0f;
}

CNetView::~CNetView() {
  if (OverlayBitmaps* overlays = OverlayBitmapsInstalled()) {
    for (int slot = 0; slot < kOverlaySlots; ++slot) overlays->Release(slot);
  }
  ReleaseDirectDrawPalettes();
  ReleaseGdiPalette();
  FreeZBuffer();
  // The document must not keep a view, or a camera record, that is gone.
  if (g_pNetDoc && g_pNetDoc->GetView() == this) g_pNetDoc->SetView(nullptr);
  if (g_pNetDoc && g_pNetDoc->GetViewer() == &view_) g_pNetDoc->SetViewer(nullptr);
}

void CNetView::InitViewRecord() {
  view_.width = view_.height = 10;
  view_.orientation[0] = {0, 1, 0};
  view_.orientation[1] = {1, 0, 0};
  view_.orientation[2] = {0, 0, 1};
  view_.ownerScale = 20.0f;
  view_.greyColour = FindPaletteColour(128, 128, 128);
  view_.whiteColour = FindPaletteColour(255, 255, 255);
  view_.flags = kInitialRenderFlags;
  MatrixSetIdentity(view_.cameraMatrix);
  view_.zoom = 1.0f;
  view_.focal = static_cast<float>(view_.width) * projection_;
  if (g_pNetDoc) g_pNetDoc->SetViewer(&view_);
}

void CNetView::RedrawNow() {
  CWnd* window = this;
  if (g_pInterface && g_pInterface->GetWindow() && g_pInterface->GetWindow()->m_hWnd) window = g_pInterface->GetWindow();
  window->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

bool CNetView::NeedsFullRedraw() const {
  if (menuLoop_) return false;
  return hasFocus_ || (g_pInterface && g_pInterface->HasWindowFocus());
}

// ---- Size ----

void CNetView::OnSize(UINT type, int cx, int cy) {
  if (type != SIZE_MINIMIZED) {
    if (!g_pNetDoc || g_pNetDoc->WaitForFrame()) ResizeBuffers(cx, cy);
  }
  CView::OnSize(type, cx, cy);
}

void CNetView::ResizeBuffers(int width, int height) {
  view_.width = ViewRoundSide(width);
  view_.height = ViewRoundSide(height);
  view_.focal = static_cast<float>(view_.width) * projection_;
  // The windowed drawing buffers of the original have no place here: the
  // program always draws into the interface manager's screen surfaces.
  EnsureZBuffer();
  InvalidateHud();
}

void CNetView::AllocateZBuffer() {
  FreeZBuffer();
  g_ZBuffer = static_cast<std::uint32_t*>(std::calloc(static_cast<size_t>(view_.width) * view_.height, 4));
  g_ZBufferWidth = g_ZBuffer ? view_.width : 0;
  g_ZBufferHeight = g_ZBuffer ? view_.height : 0;
}

void CNetView::FreeZBuffer() {
  std::free(g_ZBuffer);
  g_ZBuffer = nullptr;
  g_ZBufferWidth = g_ZBufferHeight = 0;
}

void CNetView::EnsureZBuffer() {
  // A depth buffer follows the view's size; one that is off stays off.
  if (g_ZBuffer && (g_ZBufferWidth != view_.width || g_ZBufferHeight != view_.height)) AllocateZBuffer();
}

void CNetView::EnterFullScreenMode(int mode) {
  if (!g_pInterface) return;
  ReleaseGdiPalette();
  BuildPalettes();
  if (!g_pInterface->EnterFullScreen(mode)) return;
  g_pInterface->CreatePalette();
  // The game palette goes on the screen surfaces made just now.
  g_pInterface->ApplyPalette();
  CreateDirectDrawPalettes();
  if (g_pInterface->IsFullScreen() && g_pInterface->GetWindow()) g_pInterface->GetWindow()->Invalidate();
  steeringShown_ = 0;
  fullScreen_ = 1;
  InvalidateHud();
}

void CNetView::LeaveFullScreenMode() {
  if (g_pInterface) g_pInterface->LeaveFullScreen(false);
  ReleaseDirectDrawPalettes();
  fullScreen_ = 0;
  ResizeBuffers(view_.width, view_.height);
}

// ---- Palettes ----

void CNetView::ResetOverlays() {
  if (g_pInterface) g_pInterface->ApplyPalette();
}

void CNetView::BuildPalettes() {
  const int brightness = g_pInterface ? g_pInterface->GetBrightness() : 32;
  for (int i = 0; i < kViewPaletteCount; ++i) {
    if (logPalettes_[i]) continue;
    logPalettes_[i] = new ViewLogPalette;
    ViewPaletteBuild(static_cast<ViewPaletteKind>(i), brightness, logPalettes_[i]);
  }
}

void CNetView::CreateDirectDrawPalettes() {
  static const char* const kFailures[kViewPaletteCount] = {
      "DirectDraw's 1 CreatePalette() function failed", "DirectDraw's 2 CreatePalette() function failed",
      "DirectDraw's 3 CreatePalette() function failed", "DirectDraw's 4 CreatePalette() function failed",
      "DirectDraw's CreatePalette() function failed on BrightPalette"};
  IDirectDraw* directDraw = g_pInterface ? g_pInterface->GetDirectDraw() : nullptr;
  if (!directDraw) return;
  BuildPalettes();
  for (int i = 0; i < kViewPaletteCount; ++i) {
    if (ddPalettes_[i]) continue;
    if (directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, logPalettes_[i]->entries, &ddPalettes_[i],
                                  nullptr) != DD_OK) {
      ddPalettes_[i] = nullptr;
      OutputDebugString(kFailures[i]);
      OutputDebugString("\n");
      MessageBeep(MB_ICONEXCLAMATION);
      LeaveFullScreenMode();
      return;
    }
  }
}

void CNetView::ReleaseGdiPalette() {
  for (ViewLogPalette*& p : logPalettes_) {
    delete p;
    p = nullptr;
  }
}

void CNetView::ReleaseDirectDrawPalettes() {
  for (IDirectDrawPalette*& p : ddPalettes_) {
    if (p) p->Release();
    p = nullptr;
  }
}

// ---- Cockpit ----

void CNetView::InvalidateHud() {
  steeringShown_ = 0;
  if (g_pNetDoc) {
    g_pNetDoc->InvalidateMessageArea();
    g_pNetDoc->InvalidateHudPanels();
  }
  cockpitRedraw_ = 1;
}

void CNetView::LoadCockpitBitmaps() {
  // korvane3d's overlay slots: 0 the cockpit picture (a level texture),
  // 1..9 the hands for the nine steering codes, 10 and 11 the crosshair and
  // the target marker, then the panels' frames from 12. korvanesw has no
  // overlay set: its panels are pictures drawn into the 2-D layer, its
  // crosshair is drawn with lines.
  if (OverlayBitmaps* overlays = OverlayBitmapsInstalled()) {
    overlays->LoadFromTexture(kCockpitSlot, "!cockpit.bmp");
    for (int code = 1; code <= 9; ++code) {
      char name[16];
      std::snprintf(name, sizeof name, "hands%d.bmp", code);
      overlays->Load(kCockpitSlot + code, name, kCockpitArchive);
    }
    overlays->Load(kCrosshairSlot, "cur1.bmp", kCockpitArchive);
    overlays->Load(kTargetMarkerSlot, "cur2.bmp", kCockpitArchive);
  }
  if (BuildVariantIsInstalled()) BuildVariantGet().LoadCockpitPicture(*this);
  cockpitRedraw_ = 1;
  int nextSlot = kFirstPanelSlot;
  for (int i = 0; i < kCockpitPanelCount; ++i) {
    panels_[i].Load(kPanels[i].x, kPanels[i].y, kPanels[i].name, kCockpitArchive, &nextSlot);
  }
  panelsLoaded_ = true;
  InvalidateHud();
}

void CNetView::DrawCockpitPanels() {
  if (!g_pInterface || !g_pInterface->IsCockpitShown()) {
    InvalidateHud();
    return;
  }
  if (steeringShown_ == 0) steeringShown_ = 5;
  const int steering = g_pNetDoc ? g_pNetDoc->GetSteering() : 0;
  if (steering != steeringShown_ && steering > 0) {
    // Drawn only when it changes: onto both pages of a flipping display.
    if (OverlayBitmaps* overlays = OverlayBitmapsInstalled(); overlays && steering <= 9) {
      overlays->BlitBothPages(kHandsX, kHandsY, 0, 0, kHandsWidth, kHandsHeight, kCockpitSlot + steering);
    } else if (!overlays && steering <= 9 && BuildVariantIsInstalled()) {
      BuildVariantGet().DrawHands(*this, steering);
    }
    steeringShown_ = steering;
  }
  if (panelsLoaded_) {
    for (CPictureAnim& panel : panels_) {
      // Without overlays (korvanesw) a panel is drawn into the interface
      // bitmap; the program puts that part onto its pages itself (the
      // frame's few dirty rectangles belong to the HUD).
      if (panel.Update() && !OverlayBitmapsInstalled() && BuildVariantIsInstalled()) {
        int left = 0, top = 0, right = 0, bottom = 0;
        panel.GetCurrentRect(&left, &top, &right, &bottom);
        if (right > left && bottom > top) BuildVariantGet().ShowPanel(*this, left, top, right, bottom);
      }
    }
  }
}

void CNetView::UpdateCockpit() {
  if (fullScreen_ && g_pInterface) {
    view_.width = 640;
    view_.height = 480;
  }
  DrawCockpitPanels();
  if (g_pNetDoc && g_pNetDoc->IsDepthCuePulsing()) {
    const double t = GetGameTime();
    DepthCueSet(300.0f, static_cast<float>((0.8 + 0.4 * std::sin(3.14159265358979 * t / 1000.0)) * depthCueFar_));
  }
}

void CNetView::ToggleCockpit() {
  if (!g_pInterface || (g_pNetDoc && !g_pNetDoc->WaitForFrame())) return;
  g_pInterface->SetCockpitShown(!g_pInterface->IsCockpitShown());
  if (g_pInterface->IsCockpitShown()) InvalidateHud();
  g_pInterface->ClearBackBuffer();
  cockpitRedraw_ = 1;
  if (g_pNetDoc && g_pNetDoc->IsExternalView()) g_pInterface->SetCockpitShown(false);
}
