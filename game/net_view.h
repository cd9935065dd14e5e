#pragma once
// The game view. This is the part the application shell and the main frame
// need; the frame drawing comes with its own work (OnDraw draws nothing yet).
#include <cstdint>

#include "platform/framework/view.h"

class CNetView : public CView {
  DECLARE_DYNCREATE_CLASS(CNetView)
 public:
  // Registers itself as the document's view.
  CNetView();
  ~CNetView() override;

  void OnDraw(CDC* dc) override;
  // The view forgets its applied palette and the interface manager's palette
  // goes back on the display.
  void ResetOverlays() {}
  // The view's five palettes, rebuilt when the brightness changes; they come
  // with the view's palette work and do nothing yet.
  void ReleaseGdiPalette() {}
  void BuildPalettes() {}
  void ReleaseDirectDrawPalettes() {}
  void CreateDirectDrawPalettes() {}
  // The whole HUD is drawn again in the next frame (the frame-drawing work
  // fills it).
  void InvalidateHud() {}
  // A key of the running game, by virtual-key code (the view's keys work
  // fills it).
  void HandleKey(UINT /*virtualKey*/) {}
  // korvanesw only (apps/korvanesw/): the display and the view switch to a
  // resolution index (0 640x480, 1 320x240, 2 800x600), and the crosshair
  // drawn as four lines.
  void SetScreenMode(int resolution);
  void DrawCrosshair();
  // The cockpit's pictures for the level (the view's keys-and-cockpit work
  // fills it).
  void LoadCockpitBitmaps() {}
  // Redraws at once: the interface window (the view itself without one) is
  // invalidated and painted before this returns, so the frame is complete.
  void RedrawNow();
  void SetMenuLoop(bool on) { menuLoop_ = on ? 1 : 0; }
  bool IsInMenuLoop() const { return menuLoop_ != 0; }

 private:
  uint8_t menuLoop_ = 0;
};
