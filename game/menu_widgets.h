#pragma once
// The menus' text widgets, which the interface manager owns: the edit lines
// of the network screens (and of the saved-game list), the saved-game list,
// the mission and session list, the key-binding fields and the ship-style
// pickers. All draw into the interface's 2-D target with a CBitmapFont and
// the rectangle routines: colour 237 marks the chosen row or the focused
// field, colour 146 a selected key field, g_BlackColour is the background.
#include <list>
#include <memory>
#include <vector>

#include "game/network_layer.h"
#include "media/bitmap_font.h"
#include "platform/framework/cstring.h"
#include "platform/framework/win_types.h"

// The small font ("FONT_SM.BMP", 6-pixel cells) of the lines made without
// a font and of the main screen's version text: the document's (its HUD's
// text font); only without a document, one copy loaded at first use.
CBitmapFont& MenuSmallFont();

// One line of typed text: always as long as the line (the typed characters,
// the cursor "_", then blanks). At most length - 1 characters are typed, so
// the cursor always has its cell.
class CEditLine {
 public:
  // A null font means the document's small font.
  CEditLine(int x, int y, int length, CBitmapFont* font);

  // Blinks the cursor every 300 ms, hides it when asked, draws the line.
  void Draw(bool hideCursor);
  // Backspace (8) or Delete (46): the character before the cursor goes.
  void OnBackspace(int virtualKey);
  // Characters 32..95 (lower case taken upper case) go in at the cursor.
  void OnChar(int character);
  // The line shows s (cut to length - 1 characters) with the cursor after it.
  void SetText(const char* s);
  // The typed text: everything before the cursor.
  CString GetText() const;
  // With a document and a view: the line's rectangle goes to the view's
  // dirty rectangles (the HUD's console line).
  void MarkDirty();

  const CString& GetLine() const { return text_; }
  int GetCursor() const { return cursor_; }

 private:
  CBitmapFont* Font() const;

  CString text_;
  int x_, y_;
  int lastIndex_;
  int cursor_ = 0;
  CBitmapFont* font_;
  DWORD blinkTime_;
};

// The thirty saved-game slots of the save (editing) and load (choosing)
// screens. A row shows "<mission>: <description>"; on the save screen a
// click opens an edit line on the row for the description.
class CSavedGameList {
 public:
  static constexpr int kSlots = 30;

  CSavedGameList(int x1, int y1, int x2, int y2);

  // Reads every slot's header; editing is the save screen's mode.
  void Fill(bool editing);
  // Sets a row's text directly (Fill's work for one slot).
  void SetRow(int slot, const CString& text) { rows_[slot] = text; }
  // The point in screen pixels; kept relative to the list.
  void SetMouse(int x, int y) {
    mouseX_ = x - left_;
    mouseY_ = y - top_;
  }
  // The frame: a press chooses the row under it (editing: opens its edit
  // line); then draws. Always false.
  bool Update(bool mouseDown);
  void Draw();
  // Editing mode with an open edit line only: Esc closes it, other keys go
  // to its Backspace.
  void OnKey(int virtualKey);
  void OnChar(int character);
  int GetChosenSlot() const;
  void GetChosenText(CString* out) const;
  int Width() const { return right_ - left_; }
  int Height() const { return bottom_ - top_; }
  int RowHeight() const { return rowHeight_; }
  int RowsPerPage() const { return rowsPerPage_; }
  const CString& Row(int slot) const { return rows_[slot]; }
  CEditLine* GetEditLine() const { return editLine_.get(); }

 private:
  int RowTop(int visibleRow) const { return top_ + visibleRow * rowHeight_; }
  int TextCells() const;

  int left_, top_, right_, bottom_;
  int firstRow_ = 0;
  int rowsPerPage_ = 1;
  int rowHeight_ = 1;
  int chosenRow_ = -1;
  int editRow_ = -1;
  int drawnChosen_ = -1;
  CString rows_[kSlots];
  bool editing_ = false;
  CBitmapFont font_;
  int mouseX_ = -1, mouseY_ = -1;
  std::unique_ptr<CEditLine> editLine_;
};

// The 24 missions to start, or while joining the sessions found.
class CMissionList {
 public:
  static constexpr int kMissions = 24;

  CMissionList(int x1, int y1, int x2, int y2);

  // While joining the rows are these sessions, in their order (null or
  // empty: none): the network layer's session list (g_Net).
  void SetSessions(const std::list<CNetSessionInfo>* sessions, bool joining) {
    sessions_ = sessions;
    joining_ = joining;
  }
  void Reset();
  void SetMouse(int x, int y) {
    mouseX_ = x - left_;
    mouseY_ = y - top_;
  }
  // A press on a row chooses it; draws; true when a row was taken.
  bool Update(bool mouseDown);
  void Draw(bool full);
  // Moves the first visible row by lines within the rows; true (and drawn)
  // when it moved.
  bool Scroll(int lines);
  void ShowPleaseWait();
  int GetChosenRow() const { return chosenRow_; }
  int GetFirstRow() const { return firstRow_; }
  void GetChosenSessionName(CString* out) const;
  int GetChosenSessionMission() const;
  int Width() const { return right_ - left_; }
  int Height() const { return bottom_ - top_; }
  int RowHeight() const { return rowHeight_; }
  // The text of row i as drawn.
  CString LineText(int row) const;

 private:
  int RowCount() const;

  int left_, top_, right_, bottom_;
  CBitmapFont font_;
  int mouseX_ = -1, mouseY_ = -1;
  int rowHeight_ = 1;
  int chosenRow_ = -1;
  int drawnChosen_ = -1;
  int firstRow_ = 0;
  // The chosen session's row; kept as a row, not a pointer, so that a list
  // filled anew can't leave it dangling.
  int sessionRow_ = -1;
  const CNetSessionInfo* Session(int row) const;
  const CNetSessionInfo* ChosenSession() const;
  const std::list<CNetSessionInfo>* sessions_ = nullptr;
  bool joining_ = false;
};

// One key of one action on the key-binding screen: " <name>" in 9 cells.
class CKeyBindingField {
 public:
  CKeyBindingField(int x, int y, CBitmapFont* font);
  // The code and its text; Backspace and unnamed codes become 0 ("-----").
  void SetKey(int code);
  int GetKey() const { return code_; }
  const CString& GetText() const { return text_; }
  // The point on the text, both ends included.
  bool HitTest(int x, int y) const;
  void SetSelected(bool on) { selected_ = on ? 1 : 0; }
  bool IsSelected() const { return selected_ != 0; }
  void SetHot(bool on) { hot_ = on ? 1 : 0; }
  bool IsHot() const { return hot_ != 0; }
  // Draws the text when changed and the frame when its style changed (or
  // both with force).
  void Draw(bool force);

 private:
  int x_, y_;
  int code_ = 0;
  CString text_;
  CBitmapFont* font_;
  uint8_t selected_ = 0;
  uint8_t hot_ = 0;
  uint8_t textChanged_ = 1;
  uint8_t drawnStyle_ = 0;
};

// A row of cells of the ship screen's background, one of which is framed
// as chosen.
class CStylePicker {
 public:
  CStylePicker(int x, int y, int cellWidth, int cellHeight, int step, int count);
  void SetChosen(int cell) {
    mouseX_ = mouseY_ = -1;
    chosen_ = cell;
  }
  int GetChosen() const { return chosen_; }
  void SetMouse(int x, int y) {
    mouseX_ = x - x_;
    mouseY_ = y - y_;
  }
  // A press on a cell chooses it: true. Draws either way.
  bool Update(bool mouseDown);
  void Draw();

 private:
  int x_, y_, cellWidth_, cellHeight_, step_, count_;
  int mouseX_ = -1, mouseY_ = -1;
  int chosen_ = -1;
};

// The 24 missions' names, " <name>" padded to 25 characters; mission n is
// g_MissionNames[n - 1].
extern const CString g_MissionNames[CMissionList::kMissions];
