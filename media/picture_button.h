#pragma once
// The menus' picture buttons and sliders. A button is four pictures, one per
// state (0 disabled, 1 normal, 2 under the mouse, 3 pressed), loaded from
// "<name>0.bmp" .. "<name>3.bmp" (each mandatory) and drawn at its place; its
// rectangle is that of picture 0 (right and bottom exclusive). The menus give
// it the mouse point each frame and ask it to update its state, which draws
// it when the state changed. A slider is a button with ten pictures, one per
// knob position 0..9, which the mouse moves while the button is held on it.
#include <cstdint>

#include "media/picture.h"

class CPictureButton {
 public:
  CPictureButton() : CPictureButton(4) {}
  virtual ~CPictureButton() = default;
  CPictureButton(const CPictureButton&) = delete;
  CPictureButton& operator=(const CPictureButton&) = delete;

  // Loads the state pictures from archive and puts the button at (x, y).
  void Load(int x, int y, const char* name, const char* archive);
  void SetMouse(int x, int y) {
    mouseX_ = x;
    mouseY_ = y;
  }
  // Not disabled, and the mouse point strictly inside the rectangle.
  bool HitTest() const;
  // The new state: 0 when disabled, else 3 when the mouse is down on it, else
  // 2 when the mouse is on it, else 3 when latched, else 1. When it differs
  // from the current one it is stored and drawn: true.
  virtual bool SetState(bool mouseDown);
  // Draws the current state's picture; a button not drawn yet (state -1)
  // first takes 0 when disabled, else 3 when latched, else 1.
  void Draw();
  // Forgets the mouse point (-1, -1), the state (-1) and the latch.
  void Reset();
  // A latched button shows its pressed picture unless the mouse is on it.
  void SetLatch(bool on) { latch_ = on ? 1 : 0; }
  void SetDisabled(bool on) { disabled_ = on ? 1 : 0; }

  int GetState() const { return state_; }
  int GetLeft() const { return left_; }
  int GetTop() const { return top_; }
  int GetRight() const { return right_; }
  int GetBottom() const { return bottom_; }

 protected:
  explicit CPictureButton(int stateCount) : stateCount_(stateCount) {}

  static constexpr int kMaxStates = 10;
  int stateCount_;
  CPicture pictures_[kMaxStates];
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  int mouseX_ = 0, mouseY_ = 0;
  int state_ = -1;  // for a slider: the knob position
  uint8_t latch_ = 0;
  uint8_t disabled_ = 0;
};

class CPictureSlider : public CPictureButton {
 public:
  CPictureSlider() : CPictureButton(10) {}

  // A slider's state is its knob position: see SetSliderPos.
  bool SetState(bool mouseDown) override { return SetSliderPos(mouseDown); }
  // Only while the mouse is down on it: position = (mouse x - left - 3) x 10
  // / (width - 6) in integers (a slider 6 pixels wide or less counts as 1
  // wide there), clamped to 0..9; when it changed, stored and drawn: true.
  bool SetSliderPos(bool mouseDown);
  // Reset, then the position (10 - 0.5) x f truncated: 0..1 gives 0..9.
  void SetFraction(float f);
  // The position / 9, 0 to 1 in ninths.
  float GetFraction() const;
};
