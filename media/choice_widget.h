#pragma once
// What the menus' text-choice box (CTextBox) and picture toggle
// (CPictureList) share: a rectangle the mouse point is tested against and a
// current choice that a click on it steps on.

class CChoiceWidget {
 public:
  virtual ~CChoiceWidget() = default;
  CChoiceWidget(const CChoiceWidget&) = delete;
  CChoiceWidget& operator=(const CChoiceWidget&) = delete;

  void SetMouse(int x, int y) {
    mouseX_ = x;
    mouseY_ = y;
  }
  // The mouse point strictly inside the rectangle.
  bool HitTest() const { return left_ < mouseX_ && mouseX_ < right_ && top_ < mouseY_ && mouseY_ < bottom_; }
  int GetCurrent() const { return current_; }
  // Shows choice index, kept within the choices.
  void SetCurrent(int index);
  // With the mouse inside: the next choice, the first after the last.
  void Cycle();
  virtual void Draw() = 0;
  // The menus' per-frame update calls this form; the argument is unused.
  void DrawNoArg(int /*ignored*/) { Draw(); }

  int GetRight() const { return right_; }
  int GetBottom() const { return bottom_; }

 protected:
  CChoiceWidget(int x, int y) : left_(x), top_(y), right_(x), bottom_(y) {}
  virtual int ChoiceCount() const = 0;

  int left_, top_, right_, bottom_;
  int mouseX_ = -1, mouseY_ = -1;
  int current_ = 0;
};
