#include "media/picture_list.h"

#include <algorithm>

CPictureList::CPictureList(int x, int y, CString prefix, int n)
    : CChoiceWidget(x, y), count_(std::max(n, 0)), pictures_(new CPicture[2 * static_cast<size_t>(count_)]) {
  for (int i = 0; i < 2 * count_; ++i) {
    CString file;
    file.Format("%s%d.BMP", prefix.GetString(), i);
    pictures_[i].Load(file, "INTERFC.CAN", false);
  }
  // The hit rectangle is the first picture's own.
  if (count_ > 0) {
    right_ = x + pictures_[0].GetWidth();
    bottom_ = y + pictures_[0].GetHeight();
  }
}

void CPictureList::Draw() {
  if (count_ == 0) return;
  const int index = std::min(2 * current_ + (HitTest() ? 1 : 0), 2 * count_ - 1);
  pictures_[index].DrawAt(left_, top_);
}
