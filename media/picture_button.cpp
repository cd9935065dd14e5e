#include "media/picture_button.h"

#include <algorithm>

#include "platform/framework/cstring.h"

void CPictureButton::Load(int x, int y, const char* name, const char* archive) {
  for (int i = 0; i < stateCount_; ++i) {
    CString file;
    file.Format("%s%d.bmp", name, i);
    pictures_[i].Load(file, archive, true);
  }
  left_ = x;
  top_ = y;
  right_ = x + pictures_[0].GetWidth();
  bottom_ = y + pictures_[0].GetHeight();
}

bool CPictureButton::HitTest() const {
  return !disabled_ && left_ < mouseX_ && mouseX_ < right_ && top_ < mouseY_ && mouseY_ < bottom_;
}

bool CPictureButton::SetState(bool mouseDown) {
  int state = 1;
  if (disabled_) {
    state = 0;
  } else if (HitTest()) {
    state = mouseDown ? 3 : 2;
  } else if (latch_) {
    state = 3;
  }
  if (state == state_) return false;
  state_ = state;
  Draw();
  return true;
}

void CPictureButton::Draw() {
  if (state_ == -1) state_ = disabled_ ? 0 : latch_ ? 3 : 1;
  if (state_ >= 0 && state_ < stateCount_) pictures_[state_].DrawAt(left_, top_);
}

void CPictureButton::Reset() {
  mouseX_ = mouseY_ = -1;
  state_ = -1;
  latch_ = 0;
}

bool CPictureSlider::SetSliderPos(bool mouseDown) {
  if (!mouseDown || !HitTest()) return false;
  const int span = std::max(1, right_ - left_ - 6);
  const int position = std::clamp((mouseX_ - left_ - 3) * 10 / span, 0, stateCount_ - 1);
  if (position == state_) return false;
  state_ = position;
  Draw();
  return true;
}

void CPictureSlider::SetFraction(float f) {
  Reset();
  state_ = std::clamp(static_cast<int>((stateCount_ - 0.5f) * f), 0, stateCount_ - 1);
}

float CPictureSlider::GetFraction() const {
  return static_cast<float>(std::max(state_, 0)) / static_cast<float>(stateCount_ - 1);
}
