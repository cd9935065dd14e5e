// The save and load screens' list of the thirty saved-game slots.
#include <algorithm>

#include "game/menu_widgets.h"
#include "game/saved_game_header.h"
#include "media/interface_display.h"
#include "media/rect8.h"

namespace {
constexpr unsigned char kChosenColour = 237;
constexpr int kVkEscape = 27;
}  // namespace

CSavedGameList::CSavedGameList(int x1, int y1, int x2, int y2)
    : left_(std::min(x1, x2)), top_(std::min(y1, y2)), right_(std::max(x1, x2)), bottom_(std::max(y1, y2)) {
  font_.SetGlyphWidth(8);
  font_.Load("FONT_MD.BMP", "INTERFC.CAN");
  // The font loader refuses a sheet without rows; a row stays at least a
  // pixel high all the same, so nothing here divides by zero.
  rowHeight_ = std::max(1, static_cast<int>(font_.GetGlyphHeight() * 1.25f));
  rowsPerPage_ = std::max(1, Height() / rowHeight_);
}

int CSavedGameList::TextCells() const { return std::max(0, Width() / font_.GetGlyphWidth() - 1); }

void CSavedGameList::Fill(bool editing) {
  editing_ = editing;
  firstRow_ = 0;
  chosenRow_ = -1;
  editRow_ = -1;
  editLine_.reset();
  for (int slot = 0; slot < kSlots; ++slot) {
    rows_[slot].Empty();
    CString mission, description, third;
    if (!ReadSavedGameHeader(SaveGamePath(slot), &mission, &description, &third)) continue;
    if (mission.GetLength() < 4 || mission.Right(4).CompareNoCase(".can") != 0) continue;
    rows_[slot] = mission.Left(mission.GetLength() - 4) + ": " + description;
  }
}

bool CSavedGameList::Update(bool mouseDown) {
  if (mouseDown && mouseX_ > 0 && mouseX_ < Width() && mouseY_ > 0 && mouseY_ < Height()) {
    int row = mouseY_ / rowHeight_;
    if (row >= rowsPerPage_ || firstRow_ + row > kSlots - 1 || (!editing_ && rows_[firstRow_ + row].IsEmpty())) {
      chosenRow_ = -1;
    } else {
      chosenRow_ = firstRow_ + row;
    }
  }
  if (editing_ && chosenRow_ != editRow_) {
    editRow_ = chosenRow_;
    editLine_.reset();
    const int visible = editRow_ - firstRow_;
    if (editRow_ >= 0 && visible >= 0 && visible < rowsPerPage_) {
      const int rowTop = RowTop(visible);
      FillRect8(left_, rowTop, right_, rowTop + rowHeight_, kChosenColour);
      editLine_ = std::make_unique<CEditLine>(left_ + 3, rowTop + (rowHeight_ - font_.GetGlyphHeight()) / 2,
                                              Width() / font_.GetGlyphWidth() - 1, &font_);
      const CString& text = rows_[editRow_];
      const int colon = text.Find(':');
      editLine_->SetText(colon >= 0 ? text.Mid(colon + 2 <= text.GetLength() ? colon + 2 : text.GetLength())
                                    : text);
    }
  }
  Draw();
  return false;
}

void CSavedGameList::Draw() {
  const int cells = TextCells();
  for (int visible = 0; visible < rowsPerPage_; ++visible) {
    const int slot = firstRow_ + visible;
    const int rowTop = RowTop(visible);
    if (slot >= kSlots) {
      FillRect8(left_, rowTop, right_, rowTop + rowHeight_, g_BlackColour);
      continue;
    }
    if (editing_ && slot == editRow_) continue;
    if (chosenRow_ != drawnChosen_ && (slot == chosenRow_ || slot == drawnChosen_))
      FillRect8(left_, rowTop, right_, rowTop + rowHeight_, slot == chosenRow_ ? kChosenColour : g_BlackColour);
    CString text = rows_[slot].Left(cells);
    while (text.GetLength() < cells) text += ' ';
    font_.DrawText(text, left_ + 4, rowTop + (rowHeight_ - font_.GetGlyphHeight()) / 2, false);
  }
  drawnChosen_ = chosenRow_;
  if (editLine_) editLine_->Draw(false);
}

void CSavedGameList::OnKey(int virtualKey) {
  // Keys mean something only to an open edit line of the save screen.
  if (!editing_ || !editLine_) return;
  if (virtualKey == kVkEscape) {
    editLine_.reset();
    chosenRow_ = -1;
    editRow_ = -1;
    return;
  }
  editLine_->OnBackspace(virtualKey);
}

void CSavedGameList::OnChar(int character) {
  if (editing_ && editLine_) editLine_->OnChar(character);
}

int CSavedGameList::GetChosenSlot() const { return editing_ ? editRow_ : chosenRow_; }

void CSavedGameList::GetChosenText(CString* out) const {
  if (editing_) {
    *out = editLine_ ? editLine_->GetText() : CString();
  } else {
    *out = chosenRow_ >= 0 && chosenRow_ < kSlots ? rows_[chosenRow_] : CString();
  }
}
