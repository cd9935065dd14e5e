#pragma once
// A picture toggle of the menus (sound on and off, music on and off): n
// choices of two pictures each, "<prefix><2i>.BMP" for choice i and
// "<prefix><2i + 1>.BMP" for it under the mouse, from "INTERFC.CAN"; a
// missing picture draws nothing. Its rectangle is that of the first picture.
#include <memory>

#include "media/choice_widget.h"
#include "media/picture.h"
#include "platform/framework/cstring.h"

class CPictureList : public CChoiceWidget {
 public:
  CPictureList(int x, int y, CString prefix, int n);
  void Draw() override;

 private:
  int ChoiceCount() const override { return count_; }

  int count_;
  std::unique_ptr<CPicture[]> pictures_;  // 2 x count_
};
