// One game frame: the clock, the simulation step, the render between the
// frame flag's reset and set, the cockpit, HUD and statistics over it, and
// the presentation.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "engine/world.h"
#include "game/build_variant.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/bitmap_font.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "world/objects/object_manager.h"

ViewStepObserver g_ViewStepObserver = nullptr;

namespace {

constexpr int kMaxStepMs = 1000;
constexpr int kFpsIntervalMs = 500;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

void Step(const char* name) {
  if (g_ViewStepObserver) g_ViewStepObserver(name);
}

// "Too fast" for the half-resolution mode: a speed component above 22.5 or
// a turn rate above 5.
bool IsLocalPlayerTooFast() {
  CDirectPlayer* player = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  return player && player->IsTooFast();
}

}  // namespace

float ViewSmoothFps(float smoothed, int frames, int elapsedMs) {
  if (elapsedMs <= 0) return smoothed;
  return (static_cast<float>(frames) * 1000.0f / static_cast<float>(elapsedMs) + 3.0f * smoothed) / 4.0f;
}

void CNetView::OnDraw(CDC* /*dc*/) {
  if (!g_pNetDoc || g_pNetDoc->IsPaused()) {
    OutputDebugString("skip draw\n");
    return;
  }
  if (!g_pNetDoc->IsGameRunning()) {
    OutputDebugString("no game in progress\n");
    return;
  }
  if (g_pInterface && g_pInterface->IsFullScreen() && !fullScreen_) {
    Step("EnterFullScreenMode");
    EnterFullScreenMode(-1);
  }
  Step("UpdateGameTime");
  UpdateGameTime();
  dirtyCount_ = 0;
  dirtyFull_ = 0;
  ++frameCounter_;
  ChargeProfile(kProfileOut);
  Step("Fps");
  ++fpsFrames_;
  const int now = GetGameTime();
  const int elapsed = GameTimeSince(fpsTimer_, now);
  if (elapsed >= kFpsIntervalMs) {
    smoothedFps_ = ViewSmoothFps(smoothedFps_, fpsFrames_, elapsed);
    fpsFrames_ = 0;
    fpsTimer_ += elapsed;
  }
  if (notCreated_) {
    OutputDebugString("not created\n");
    return;
  }
  Step("StepSimulation");
  ChargeProfile(kProfileRend);
  StepSimulation();
  ChargeProfile(kProfileCan);
  // A game requested by the step starts at the application's next idle
  // call: the step may have ended this game, and starting the next one here
  // would delete this view and its document under this very call.
  if (CGameApp* app = GameApp(); app && app->IsNewGameRequested()) {
    Step("NewGameRequested");
    return;
  }
  CNetDoc* doc = g_pNetDoc;
  Step("ResetFrameEvent");
  doc->ResetFrameEvent();
  if (BuildVariantIsInstalled() && BuildVariantGet().Kind() == BuildKind::Direct3D) view_.flags |= kRenderHardware;
  Step("RenderFrame");
  RenderFrame();
  Step("SetFrameEvent");
  doc->SetFrameEvent();
  Step("DecayHitFlash");
  doc->DecayHitFlash();
  Step("HalfResolution");
  if (g_pInterface && g_pInterface->IsAutoLowRes() && IsLocalPlayerTooFast()) {
    view_.flags |= kRenderHalfResolution;
  } else {
    view_.flags &= ~kRenderHalfResolution;
  }
  ChargeProfile(kProfileRend);
}

void CNetView::ChargeProfile(ViewProfileSlot slot) {
  if (!g_HasPerfCounter) return;
  int64_t now = 0;
  QueryPerformanceCounter(&now);
  if (profileSample_ != 0) profile_[slot] += now - profileSample_;
  profileSample_ = now;
}

void CNetView::StepSimulation() {
  const int now = GetGameTime();
  const int dt = std::clamp(GameTimeSince(lastStepTime_, now), 0, kMaxStepMs);
  lastStepTime_ = now;
  if (!g_pNetDoc) return;
  if (g_NextMissionArchive.IsEmpty()) g_pNetDoc->AddMissionTime(dt);
  g_pNetDoc->UpdateFrame(dt);
  WorldUpdate(g_pNetDoc->GetWorld(), dt);
}

void CNetView::RestartStepClock() {
  // The time since the game clock last moved (the menus, the briefing, the
  // load) is dropped rather than given to the level's first step, where it
  // would fire the first second's timers at once.
  const uint8_t paused = g_GameTimePaused;
  g_GameTimePaused = 1;
  UpdateGameTime();
  g_GameTimePaused = paused;
  lastStepTime_ = GetGameTime();
}

void CNetView::RenderFrame() {
  if (!g_pInterface || g_pInterface->IsMissionFailedShown() || !g_pInterface->IsReadyToRender()) return;
  Step("RestoreSurfaces");
  g_pInterface->RestoreSurfaces(false);
  UpdateScreenFlash();
  const bool software = BuildVariantIsInstalled() && BuildVariantGet().Kind() == BuildKind::Software;
  if (software) {
    Step("RenderWorld");
    RenderSoftwareScene();
  } else {
    Step("RenderWorld");
    BuildVariantGet().RenderScene(*this);
  }
  Step("Cockpit");
  if (BuildVariantIsInstalled()) BuildVariantGet().DrawCockpit(*this);
  cockpitRedraw_ = 0;
  UpdateCockpit();
  Step("DrawHud");
  if (g_pNetDoc) g_pNetDoc->DrawHud();
  Step("DrawStatistics");
  DrawStatistics();
  Step("Present");
  PresentFrame();
}

void CNetView::RenderSoftwareScene() {
  IDirectDrawSurface* surface = g_pInterface->GetBackSurface();
  if (!surface) surface = g_pInterface->GetPrimarySurface();
  if (!surface) return;
  DDSURFACEDESC desc;
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return;
  const int width = static_cast<int>(desc.dwWidth);
  int height = static_cast<int>(desc.dwHeight);
  // With the cockpit the 3-D area is the band from row 64, 248 rows high;
  // the cockpit shows only at 640x480.
  int top = 0;
  if (g_pInterface->IsCockpitShown() && width == kScreenWidth && height == kScreenHeight) {
    top = 64;
    height = 248;
  }
  view_.width = width;
  view_.height = height;
  view_.focal = static_cast<float>(width) * projection_;
  EnsureZBuffer();
  auto* pixels = static_cast<uint8_t*>(desc.lpSurface);
  if (desc.ddpfPixelFormat.dwRGBBitCount == 8) {
    // Drawn straight into the locked surface.
    view_.target = pixels + static_cast<ptrdiff_t>(top) * desc.lPitch;
    view_.pitch = desc.lPitch;
    view_.firstRow = view_.target;
    if (backgroundClearing_) {
      for (int y = 0; y < height; ++y) std::memset(view_.firstRow + static_cast<ptrdiff_t>(y) * desc.lPitch, g_BlackColour, width);
    }
    if (g_pNetDoc) g_pNetDoc->HideOwnShip();
    ChargeProfile(kProfileRend);
    RenderWorld(g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr, &view_);
    ChargeProfile(kProfileDyn);
    if (g_pNetDoc) g_pNetDoc->ShowOwnShip();
    g_CurrentView = nullptr;  // the target is unlocked below
    view_.target = view_.firstRow = nullptr;
  }
  surface->Unlock(desc.lpSurface);
  if (!screenshotRequest_ && !(g_pNetDoc && g_pNetDoc->IsScriptCameraActive())) BuildVariantGet().DrawCrosshair(*this);
  if (g_pNetDoc) g_pNetDoc->UpdateTargetList();
}

void CNetView::PresentFrame() {
  IDirectDrawSurface* back = g_pInterface->GetBackSurface();
  IDirectDrawSurface* primary = g_pInterface->GetPrimarySurface();
  IDirectDrawSurface* frame = back ? back : primary;
  if (!frame) return;
  if (g_pNetDoc) g_pNetDoc->SetSurfaceBusy(true);
  HDC dc = nullptr;
  if (frame->GetDC(&dc) == DD_OK) {
    CopyDirtyRects(dc);
    frame->ReleaseDC(dc);
  }
  dirtyCount_ = 0;
  if (screenshotRequest_) {
    g_pInterface->SaveScreenshot(frame);
    screenshotRequest_ = 0;
  }
  if (g_pNetDoc) g_pNetDoc->SetSurfaceBusy(false);
  if (!back) return;  // drawn straight onto the screen
  if (g_pInterface->IsPresentByFlip()) {
    primary->Flip(nullptr, DDFLIP_WAIT);
  } else {
    primary->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr);
  }
}

// ---- Tints ----

void CNetView::SetScreenTint(int r, int g, int b, int a) {
  if (r == 0 && g == 0 && b == 0) return;
  r = std::min(r, 255);
  g = std::min(g, 255);
  b = std::min(b, 255);
  if (g == 0 && b == 0) r = std::max(r, 128);
  tint_[0] = static_cast<float>(r) / 255.0f;
  tint_[1] = static_cast<float>(g) / 255.0f;
  tint_[2] = static_cast<float>(b) / 255.0f;
  tint_[3] = static_cast<float>(a) / 255.0f;
  tintPending_ = 1;
}

void CNetView::UpdateScreenFlash() {
  if (!g_pNetDoc) return;
  const float explosion = g_pNetDoc->GetExplosionFlash();
  if (explosion > 0.01f) {
    SetScreenTint(static_cast<int>(explosion * 300), static_cast<int>(explosion * 300), static_cast<int>(explosion * 200),
                  128);
  } else if (g_pNetDoc->IsInvulnerable()) {
    g_pNetDoc->SetShieldHit(0);
    SetScreenTint(32, 32, 64, 128);
  } else if (g_pNetDoc->TakeHazardFlash()) {
    SetScreenTint(0, 64, 0, 128);
  } else if (const float hit = g_pNetDoc->GetHitFlash(); hit > 0.0f) {
    SetScreenTint(static_cast<int>(std::min(hit * 300.0f * 0.025f, 255.0f)), 0, 0, 128);
  }
}

// ---- Dirty rectangles ----

int CNetView::AddDirtyRect(float left, float top, float right, float bottom) {
  if (dirtyFull_) return dirtyCount_;
  if (dirtyCount_ == kDirtyRectCapacity) {
    // More than the table holds: the whole screen is copied instead.
    dirty_[0] = {0, 0, kScreenWidth, kScreenHeight};
    dirtyCount_ = 1;
    dirtyFull_ = 1;
    return dirtyCount_;
  }
  dirty_[dirtyCount_++] = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                           static_cast<int>(bottom)};
  return dirtyCount_;
}

void CNetView::CopyDirtyRects(HDC dc) {
  HBITMAP dib = g_pInterface ? g_pInterface->GetDib() : nullptr;
  if (dib && dirtyCount_ > 0) {
    HDC memory = CreateCompatibleDC(dc);
    if (memory) {
      HGDIOBJ previous = SelectObject(memory, dib);
      for (int i = 0; i < dirtyCount_; ++i) {
        const DirtyRect& r = dirty_[i];
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
      }
      if (previous) SelectObject(memory, previous);
      DeleteDC(memory);
    }
  }
  dirtyCount_ = 0;
}

// ---- Statistics ----

void ViewProfileLine(bool hasCounter, int64_t* sums, char* line, int size) {
  if (!hasCounter) {
    std::snprintf(line, static_cast<size_t>(size), "No high resolution hardware timer present...");
    return;
  }
  int64_t total = 0;
  for (int i = 0; i < kViewProfileSlots; ++i) {
    sums[i] /= 10;
    total += sums[i];
  }
  double share[kViewProfileSlots];
  for (int i = 0; i < kViewProfileSlots; ++i)
    share[i] = total > 0 ? 100.0 * static_cast<double>(sums[i]) / static_cast<double>(total) : 0.0;
  std::snprintf(line, static_cast<size_t>(size),
                "out=%4.1f%% rend=%4.1f%% can=%4.1f%% dyn=%4.1f%% dobj=%4.1f%% obj=%4.1f%% nobj=%4.1f%% ", share[0],
                share[1], share[2], share[3], share[4], share[5], share[6]);
  for (int i = 0; i < kViewProfileSlots; ++i) sums[i] *= 9;
}

void ViewLatencyLine(const int32_t* late, float average, char* line, int size) {
  // Counted in 64 bits: the counters may reach INT32_MAX in a long game.
  const double total = static_cast<double>(static_cast<int64_t>(late[0]) + 1);
  auto share = [&](int i) { return static_cast<double>(static_cast<int64_t>(late[i]) + 1) * 100.0 / total; };
  std::snprintf(line, static_cast<size_t>(size), "net latency: avr=%3.1f x2=%3.1f%% x4=%3.1f%% x10=%3.1f%% ",
                static_cast<double>(average), share(1), share(2), share(3));
}

void CNetView::DrawStatistics() {
  if (!g_pNetDoc || !g_pNetDoc->IsStatisticsShown() || !g_pInterface) return;
  CBitmapFont& font = g_pInterface->GetHudFont();
  World* world = g_pNetDoc->GetWorld();
  const bool text = font.GetGlyphHeight() > 0;
  char line[192];
  int y = 48;
  auto show = [&] {
    if (text) font.DrawText(line, 10, y, false);
    y += 8;
  };
  std::snprintf(line, sizeof line,
                "%5.1f fps %5i total %4i rendered %4i visible %4i new %4i new pres %5i nodes %4i LoadCount", smoothedFps_,
                world ? world->fragmentCount : 0, static_cast<int>(g_StatPolysRendered),
                static_cast<int>(g_StatPolysVisible), 0, static_cast<int>(g_StatNewPres), static_cast<int>(g_StatNodes),
                static_cast<int>(g_TextureLoadCount));
  g_StatNewPres = 0;
  show();
  std::snprintf(line, sizeof line, " %5.1fMb textures, %5i total loaded, %6d sound fx skipped,  %4d dyn.objects",
                static_cast<double>(g_TextureBytesLoaded) / 1048576.0, static_cast<int>(g_TextureLoadCount), 0,
                g_pObjectManager ? g_pObjectManager->GetCount() : 0);
  show();
  if (IsNetworkGame()) {
    ViewLatencyLine(g_pNetDoc->GetLateMessages(), g_pNetDoc->GetAverageLatency(), line, sizeof line);
    show();
    std::snprintf(line, sizeof line, "net queque: size=%5d,  traffic in=%5.1f bps,  out=%5.1f bps ",
                  static_cast<int>(g_Net.GetPendingCount()), static_cast<double>(g_pNetDoc->GetReceivedRate()),
                  static_cast<double>(g_pNetDoc->GetSentRate()));
    show();
  }
  ViewProfileLine(g_HasPerfCounter, profile_, line, sizeof line);
  show();
  float x = 0, py = 0, z = 0, speed = 0;
  if (CDirectPlayer* player = g_pNetDoc->GetLocalPlayer()) {
    player->GetPosition(&x, &py, &z);
    speed = player->GetSpeed();
  }
  std::snprintf(line, sizeof line, "X=%7.1f  Y=%7.1f  Z=%7.1f  speed=%6.1f ", x, py, z, speed);
  show();
  int inHardware = 0, hardwareBytes = 0, current = 0;
  if (BuildVariantIsInstalled()) BuildVariantGet().DeviceTextureCounts(&inHardware, &hardwareBytes, &current);
  std::snprintf(line, sizeof line, "Textures in HW memory %3d  HW Memory used %7d  Textures current %3d", inHardware,
                hardwareBytes, current);
  show();
  AddDirtyRect(0, 40, kScreenWidth, static_cast<float>(y));
}
