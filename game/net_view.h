#pragma once
// The game view: one game frame per OnDraw (clock, simulation step, render,
// cockpit, HUD and statistics, presentation), the keys and menu commands
// that act on the running game, the five palettes and the cockpit.
//
// Files: game/net_view.cpp (life, size, palettes, cockpit),
// game/net_view_draw.cpp (the frame), game/net_view_keys.cpp (keys and
// commands).
//
// "Render in progress" has one meaning: the document's frame flag, set by
// CNetDoc::ResetFrameEvent right before RenderFrame and cleared by
// SetFrameEvent right after it (CNetDoc::IsRenderInProgress). Everything
// that must not run under a render (the resend pump of guaranteed messages,
// display switches, the cockpit and sound toggles) tests that one flag.
//
// A game requested during a frame (by the simulation step) is never started
// inside OnDraw: the frame returns at once and the application starts it at
// its next idle call, so no code of this frame runs on a deleted view or
// document.
#include <cstdint>

#include "engine/records.h"
#include "game/view_palettes.h"
#include "media/picture_anim.h"
#include "platform/framework/view.h"

class IDirectDrawPalette;
class CArchive;

// Command ids of the program's menu resource that the view answers.
enum ViewCommand : UINT {
  kCmdStatistics = 32771,
  kCmdAutoLoRes = 32782,
  kCmdSoundEnabled = 32783,
  kCmdRadar = 32784,
  kCmdDepthCueing = 32787,
  kCmdChaseCamera = 32793,
  kCmdClearBackground = 32802,
  kCmdZBuffer = 32803,
};

// One dirty rectangle of the interface manager's 640x480 bitmap.
struct DirtyRect {
  int left, top, right, bottom;
};
inline constexpr int kDirtyRectCapacity = 10;

// The profile accumulators of the statistics overlay, in display order:
// the time between frames, the view's own work, the simulation step, the
// world's render, and the three the object update charges: the dynamic
// objects, the level's script and timed objects, the enemies.
enum ViewProfileSlot { kProfileOut, kProfileRend, kProfileCan, kProfileDyn, kProfileDobj, kProfileObj, kProfileNobj };
inline constexpr int kViewProfileSlots = 7;

// The statistics overlay's profile line from the seven accumulators: each
// is divided by 10, shown as its share of their sum, then multiplied by 9
// (so each shown line decays them to 9/10). Without a performance counter
// the line says there is none.
void ViewProfileLine(bool hasCounter, int64_t* sums, char* line, int size);
// The statistics overlay's latency line of a network game: the mean
// interval between remote updates and the shares of the intervals longer
// than 2, 4 and 10 times it, each (count + 1) x 100 / (intervals + 1).
// late: the number of intervals, then the three counts.
void ViewLatencyLine(const int32_t* late, float average, char* line, int size);

// Called with the name of each step OnDraw and RenderFrame take (tests).
using ViewStepObserver = void (*)(const char* step);
extern ViewStepObserver g_ViewStepObserver;

// The smoothed frame rate after frames were drawn in elapsedMs:
// (frames x 1000 / elapsed + 3 x smoothed) / 4.
float ViewSmoothFps(float smoothed, int frames, int elapsedMs);
// A view side: 10 or less counts as 10; raised to a multiple of 8 (an exact
// multiple stays), at least 16.
int ViewRoundSide(int side);

class CNetView : public CView {
  DECLARE_DYNCREATE_CLASS(CNetView)
 public:
  // Registers itself as the document's view.
  CNetView();
  ~CNetView() override;

  // ---- The frame (game/net_view_draw.cpp) ----
  void OnDraw(CDC* dc) override;
  // dt = game time since the last step, at most 1000 ms; the mission time,
  // the document's update and the engine's world update.
  void StepSimulation();
  // A level has just started: the game clock drops the time since it last
  // moved, and the next step counts from now.
  void RestartStepClock();
  void RenderFrame();
  // Redraws at once: the interface window (the view itself without one) is
  // invalidated and painted before this returns, so the frame is complete.
  void RedrawNow();
  bool NeedsFullRedraw() const;
  // korvanesw's line crosshair (apps/korvanesw/, through the build variant).
  void DrawCrosshair();
  // Sets the tint drawn over the next frame (nothing for black).
  void SetScreenTint(int r, int g, int b, int a);
  // At most one tint per frame: explosion, invulnerable hit, hazard, hit.
  void UpdateScreenFlash();
  // Records a region of the interface bitmap to copy over the frame; returns
  // the count. When a frame needs more than the table holds, the table
  // becomes one full-screen rectangle for the rest of the frame, so nothing
  // drawn is lost.
  int AddDirtyRect(float left, float top, float right, float bottom);
  void CopyDirtyRects(HDC dc);
  void DrawStatistics();
  int GetDirtyRectCount() const { return dirtyCount_; }
  const DirtyRect& GetDirtyRect(int i) const { return dirty_[i]; }
  float GetSmoothedFps() const { return smoothedFps_; }
  int GetFrameCounter() const { return frameCounter_; }
  bool IsTintPending() const { return tintPending_ != 0; }
  const float* GetTint() const { return tint_; }  // r, g, b, a in 0..1
  void RequestScreenshot() { screenshotRequest_ = 1; }
  bool IsScreenshotRequested() const { return screenshotRequest_ != 0; }
  View& GetViewRecord() { return view_; }
  float GetProjectionFactor() const { return projection_; }
  void ClearTint() { tintPending_ = 0; }
  // Adds the performance-counter ticks since the last sample to a profile
  // accumulator and takes a new sample (nothing without the counter).
  void ChargeProfile(ViewProfileSlot slot);
  int64_t GetProfileSum(ViewProfileSlot slot) const { return profile_[slot]; }

  // ---- Size, palettes, full screen (game/net_view.cpp) ----
  void InitViewRecord();
  void OnSize(UINT type, int cx, int cy) override;
  void ResizeBuffers(int width, int height);
  void EnterFullScreenMode(int mode);
  void LeaveFullScreenMode();
  bool IsInFullScreenMode() const { return fullScreen_ != 0; }
  // The view forgets its applied palette and the interface manager's palette
  // goes back on the display.
  void ResetOverlays();
  void BuildPalettes();
  void CreateDirectDrawPalettes();
  void ReleaseGdiPalette();
  void ReleaseDirectDrawPalettes();
  const ViewLogPalette* GetLogPalette(int i) const { return logPalettes_[i]; }
  IDirectDrawPalette* GetDirectDrawPalette(int i) const { return ddPalettes_[i]; }

  // ---- Cockpit (game/net_view.cpp) ----
  // The whole HUD and cockpit are drawn again in the next frame.
  void InvalidateHud();
  void LoadCockpitBitmaps();
  void DrawCockpitPanels();
  void UpdateCockpit();
  void ToggleCockpit();
  bool IsCockpitRedrawDue() const { return cockpitRedraw_ != 0; }
  int GetSteeringShown() const { return steeringShown_; }
  // The four animated cockpit panels: "uright", "dash", "lleft", "lright".
  static constexpr int kCockpitPanelCount = 4;
  const CPictureAnim& GetCockpitPanel(int i) const { return panels_[i]; }
  // korvanesw only (softbuild/cockpit_picture.cpp): the cockpit picture
  // "!cockpit.bmp" as an engine texture through LoadTextureBitmap (a
  // picture that can't be had is fatal) and the hands' pictures; the picture
  // drawn into the frame, stretched from the texture to the 640x480 screen;
  // the hands for a steering code onto both pages.
  static constexpr int kHandsPictureCount = 9;
  void LoadCockpitTexture();
  void DrawCockpitTexture();
  void DrawHandsPicture(int steering);
  // A rectangle of the interface bitmap copied onto both pages (a cockpit
  // panel's new frame), at 640x480 only.
  void ShowInterfaceRect(int left, int top, int right, int bottom);
  const CPicture& GetHandsPicture(int steering) const { return hands_[steering - 1]; }

  // ---- Keys and commands (game/net_view_keys.cpp) ----
  void OnKeyDown(UINT virtualKey, UINT repeat, UINT flags) override;
  void OnSysKeyUp(UINT virtualKey, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  bool OnCmdMsg(UINT id) override;
  // 1 when the key was the game's.
  int HandleKey(UINT virtualKey);
  // The check mark of a command's menu item.
  bool IsCommandChecked(UINT id) const;
  void SetMissionFailed(bool on) { missionFailed_ = on ? 1 : 0; }
  bool IsMissionFailed() const { return missionFailed_ != 0; }
  bool IsBackgroundClearing() const { return backgroundClearing_ != 0; }
  bool IsDepthCueing() const { return depthCueing_ != 0; }

  // The view's part of a saved game's document state: background clearing,
  // depth-cue distance, depth cueing, the last step's time (relative to the
  // game clock) and the mission-failed byte.
  void SerializeSavedState(CArchive& archive);

  // korvanesw only (apps/korvanesw/): the display and the view switch to a
  // resolution index (0 640x480, 1 320x240, 2 800x600).
  void SetScreenMode(int resolution);
  void SetMenuLoop(bool on) { menuLoop_ = on ? 1 : 0; }
  bool IsInMenuLoop() const { return menuLoop_ != 0; }
  void SetNotCreated(bool on) { notCreated_ = on ? 1 : 0; }

 private:
  // The software depth buffer: allocated at the view's size, freed, and
  // reallocated when the view's size changes.
  void AllocateZBuffer();
  static void FreeZBuffer();
  void EnsureZBuffer();
  void RenderSoftwareScene();
  void PresentFrame();

  uint8_t notCreated_ = 0;
  uint8_t fullScreen_ = 0;
  uint8_t menuLoop_ = 0;
  uint8_t backgroundClearing_ = 1;
  uint8_t hasFocus_ = 0;
  View view_ = {};
  ViewLogPalette* logPalettes_[kViewPaletteCount] = {};
  IDirectDrawPalette* ddPalettes_[kViewPaletteCount] = {};
  float projection_ = 0.45f;
  float depthCueFar_ = -1.0f;
  uint8_t depthCueing_ = 0;
  int fpsTimer_ = 0;
  int fpsFrames_ = 0;
  int lastStepTime_ = 0;
  int steeringShown_ = 0;
  int cockpitRedraw_ = 1;
  CPictureAnim panels_[kCockpitPanelCount];
  CPicture hands_[kHandsPictureCount];
  bool panelsLoaded_ = false;
  DirtyRect dirty_[kDirtyRectCapacity] = {};
  int dirtyCount_ = 0;
  uint8_t dirtyFull_ = 0;  // the table holds the one full-screen rectangle
  int frameCounter_ = 0;
  uint8_t missionFailed_ = 0;
  int screenshotRequest_ = 0;
  float tint_[4] = {};
  int tintPending_ = 0;
  float smoothedFps_ = 20.0f;
  int64_t profile_[kViewProfileSlots] = {};
  int64_t profileSample_ = 0;  // 0: no sample taken yet
};
