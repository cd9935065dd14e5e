#pragma once
// A cockpit panel's animation: up to ten frames "<name>0.bmp" ..
// "<name>9.bmp" from "INTERFC.CAN" (those that exist), shown in turn, each
// for 100 to 300 ms, at a fixed place. With overlay bitmaps installed
// (korvane3d, media/overlay_bitmaps.h) the frames are overlay slots blitted
// onto the back surface; otherwise (korvanesw) pictures drawn into the 2-D
// target. A new frame is drawn in two successive frames, so that both pages
// of a flipping display show it; otherwise nothing is drawn.
#include <cstdint>

#include "media/picture.h"
#include "platform/types.h"

class CPictureAnim {
 public:
  CPictureAnim() = default;
  CPictureAnim(const CPictureAnim&) = delete;
  CPictureAnim& operator=(const CPictureAnim&) = delete;

  // Loads the frames; with overlays each found frame takes the slot
  // *nextOverlaySlot, which then counts up. No frame at all ends the program
  // (source "picture", line 885).
  void Load(int x, int y, const char* name, const char* ignored, int* nextOverlaySlot);
  // Once per game frame: when the change time has passed (or is 0), the next
  // frame, drawn, and a change time 100 + 0..200 ms ahead; else the last
  // change drawn once more; else nothing. True when it drew.
  bool Update();
  // The rectangle the current frame covers (its picture's size at the
  // panel's place; empty for overlay frames, which are not pictures).
  void GetCurrentRect(int* left, int* top, int* right, int* bottom) const;

  int GetFrameCount() const { return frameCount_; }
  int GetCurrentFrame() const { return current_; }
  int GetOverlaySlot(int frame) const { return slots_[frame]; }

 private:
  static constexpr int kMaxFrames = 10;
  void DrawCurrent();

  DWORD nextChange_ = 0;
  int x_ = 0, y_ = 0;
  CPicture frames_[kMaxFrames];
  int current_ = 0;
  int frameCount_ = 0;
  int slots_[kMaxFrames] = {};
  uint8_t redrawOnceMore_ = 0;
};
