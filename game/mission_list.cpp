// The sessions screen's list: the 24 missions, or the sessions found while
// joining.
#include <algorithm>
#include <iterator>

#include "game/menu_widgets.h"
#include "media/interface_display.h"
#include "media/rect8.h"

namespace {
constexpr unsigned char kChosenColour = 237;

// The names as the list shows them: a blank, the name, blanks to 25
// characters; 0x92 is code page 1252's closing quote, an apostrophe.
CString MissionName(const char* name) {
  CString text = " ";
  text += name;
  while (text.GetLength() < 25) text += ' ';
  return text;
}
}  // namespace

const CString g_MissionNames[CMissionList::kMissions] = {
    MissionName("Forward Relay"),        MissionName("Glass District"),   MissionName("Drain Tunnels"),
    MissionName("Halvard Reactor"),      MissionName("Escort Recovery"),  MissionName("Mirel\x92s Refuge"),
    MissionName("Sentinel"),             MissionName("Rusted Foundry"),   MissionName("Greyport Quay"),
    MissionName("Storm Arena"),          MissionName("Red Gorges"),       MissionName("Deep Hollows"),
    MissionName("Fallen Temple"),        MissionName("Derelict Airstrip"), MissionName("Ironclad"),
    MissionName("Kestrel\x92s Run"),     MissionName("Wharfside"),        MissionName("The Serrano"),
    MissionName("Supply Column"),        MissionName("Stronghold"),       MissionName("Caldera"),
    MissionName("Sunken City"),          MissionName("Varga\x92s Final Hold"), MissionName("Hekla\x92s Engine"),
};

CMissionList::CMissionList(int x1, int y1, int x2, int y2)
    : left_(std::min(x1, x2)), top_(std::min(y1, y2)), right_(std::max(x1, x2)), bottom_(std::max(y1, y2)) {
  font_.SetGlyphWidth(8);
  font_.Load("FONT_MD.BMP", "INTERFC.CAN");
  rowHeight_ = std::max(1, static_cast<int>(font_.GetGlyphHeight() * 1.25f));
}

void CMissionList::Reset() {
  chosenRow_ = -1;
  mouseX_ = mouseY_ = -1;
  firstRow_ = 0;
  sessionRow_ = -1;
}

int CMissionList::RowCount() const {
  if (!joining_) return kMissions;
  return sessions_ ? static_cast<int>(sessions_->size()) : 0;
}

CString CMissionList::LineText(int row) const {
  if (!joining_) return row >= 0 && row < kMissions ? g_MissionNames[row] : CString();
  const CNetSessionInfo* found = Session(row);
  if (!found) return CString();
  const CNetSessionInfo& session = *found;
  const int nameCells = std::max(0, (right_ - left_ - 8) / font_.GetGlyphWidth() - 11);
  CString line = session.name.Left(nameCells);
  while (line.GetLength() < nameCells) line += ' ';
  CString counts;
  counts.Format("- m%02d, %02d/%02d", static_cast<int>(session.mission), static_cast<int>(session.currentPlayers),
                static_cast<int>(session.maxPlayers));
  return line + counts;
}

void CMissionList::Draw(bool full) {
  if (full) FillRect8(left_, top_, right_, bottom_, g_BlackColour);
  if (full || chosenRow_ != drawnChosen_) {
    const int rows = RowCount();
    int rowTop = top_ + 1;
    for (int row = firstRow_; row < rows && rowTop <= bottom_ - rowHeight_; ++row, rowTop += rowHeight_) {
      const bool marked = row == chosenRow_ || row == drawnChosen_;
      if (marked)
        FillRect8(left_, rowTop, right_, rowTop + rowHeight_, row == chosenRow_ ? kChosenColour : g_BlackColour);
      if (full || marked) font_.DrawText(LineText(row), left_ + 5, rowTop + 2, false);
    }
  }
  drawnChosen_ = chosenRow_;
}

bool CMissionList::Update(bool mouseDown) {
  bool taken = false;
  if (mouseDown && mouseX_ > 0 && mouseX_ < Width() && mouseY_ > 0 && mouseY_ < Height()) {
    sessionRow_ = -1;
    chosenRow_ = mouseY_ / rowHeight_ + firstRow_;
    if (joining_) {
      if (chosenRow_ >= RowCount()) {
        chosenRow_ = -1;
      } else {
        sessionRow_ = chosenRow_;
      }
    } else if (chosenRow_ > kMissions - 1) {
      chosenRow_ = -1;
    }
    taken = chosenRow_ >= 0;
  }
  Draw(false);
  return taken;
}

bool CMissionList::Scroll(int lines) {
  const int perView = Height() / rowHeight_;
  const int first = std::max(0, std::min(firstRow_ + lines, RowCount() - perView));
  if (first == firstRow_) return false;
  firstRow_ = first;
  Draw(true);
  return true;
}

void CMissionList::ShowPleaseWait() {
  FillRect8(left_, top_, right_, bottom_, g_BlackColour);
  font_.DrawText("please wait...", left_ + (right_ - 14 * font_.GetGlyphWidth() - left_) / 2,
                 top_ + (bottom_ - top_ - font_.GetGlyphHeight()) / 2, false);
}

const CNetSessionInfo* CMissionList::Session(int row) const {
  if (!sessions_ || row < 0 || row >= static_cast<int>(sessions_->size())) return nullptr;
  return &*std::next(sessions_->begin(), row);
}

const CNetSessionInfo* CMissionList::ChosenSession() const { return joining_ ? Session(sessionRow_) : nullptr; }

void CMissionList::GetChosenSessionName(CString* out) const {
  const CNetSessionInfo* session = ChosenSession();
  *out = session ? session->name : CString();
}

int CMissionList::GetChosenSessionMission() const {
  const CNetSessionInfo* session = ChosenSession();
  return session ? static_cast<int>(session->mission) : 0;
}
