#include "media/choice_widget.h"

#include <algorithm>

void CChoiceWidget::SetCurrent(int index) { current_ = std::clamp(index, 0, std::max(ChoiceCount() - 1, 0)); }

void CChoiceWidget::Cycle() {
  if (HitTest() && ChoiceCount() > 0) current_ = (current_ + 1) % ChoiceCount();
}
