// The menus' text widgets: the edit line, the key capture of the
// key-binding screen, the mission and session list, and the saved-game list
// with the headers it reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <list>

#include "game/joystick.h"
#include "game/menu_widgets.h"
#include "game/saved_game_header.h"
#include "platform/keys.h"
#include "tests/game/game_fixture.h"

namespace {

class MenuWidgetsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    ui_ = g_pInterface;
    font_ = &ui_->GetHudFont();
  }
  CInterface* ui_ = nullptr;
  CBitmapFont* font_ = nullptr;
};

TEST_F(MenuWidgetsTest, AnEditLineTakesUpperCaseCharactersUpToItsLengthLessOne) {
  CEditLine line(10, 10, 32, font_);
  EXPECT_EQ(line.GetLine(), "_" + std::string(31, ' '));
  line.OnBackspace(8);  // nothing before the cursor
  EXPECT_EQ(line.GetCursor(), 0);
  for (int c : {int{'a'}, int{'z'}, int{'`'}, int{'{'}, int{'~'}, 31, 127, int{' '}, int{'_'}, int{'9'}}) line.OnChar(c);
  EXPECT_EQ(line.GetText(), "AZ _9");
  line.OnBackspace(65);  // not a deleting key
  EXPECT_EQ(line.GetText(), "AZ _9");
  line.OnBackspace(8);
  line.OnBackspace(46);
  EXPECT_EQ(line.GetText(), "AZ ");
  for (int i = 0; i < 40; ++i) line.OnChar('X');
  EXPECT_EQ(line.GetText().GetLength(), 31);
  EXPECT_EQ(line.GetLine().GetLength(), 32);
  EXPECT_EQ(line.GetLine()[31], '_');
  // SetText keeps what fits beside the cursor.
  line.SetText(std::string(40, 'Q').c_str());
  EXPECT_EQ(line.GetText(), std::string(31, 'Q'));
  EXPECT_EQ(line.GetLine()[31], '_');
  line.SetText("");
  EXPECT_EQ(line.GetCursor(), 0);
  EXPECT_EQ(line.GetLine()[0], '_');
}

TEST_F(MenuWidgetsTest, TheEditLineCursorBlinksAfter300Ms) {
  CEditLine line(10, 10, 8, font_);
  line.SetText("AB");
  line.Draw(false);
  EXPECT_EQ(line.GetLine()[2], '_');
  Advance(300);
  line.Draw(false);
  EXPECT_EQ(line.GetLine()[2], '_');  // not yet: more than 300 ms
  Advance(1);
  line.Draw(false);
  EXPECT_EQ(line.GetLine()[2], ' ');
  Advance(301);
  line.Draw(false);
  EXPECT_EQ(line.GetLine()[2], '_');
  line.Draw(true);
  EXPECT_EQ(line.GetLine()[2], ' ');
  EXPECT_EQ(line.GetText(), "AB");
}

TEST_F(MenuWidgetsTest, CaptureKeyBindsTheLowestKeyElseAJoystickKeyToOneFieldOnly) {
  ui_->OpenMenu(false);
  ui_->SetScreen(7);
  ASSERT_EQ(ui_->GetKeyField(1, 0)->GetKey(), DIK_Z);  // accelerate backwards
  // No field selected: nothing is bound.
  SendKey(InputEventType::KeyDown, DIK_B);
  Advance(20);
  ui_->CaptureKey(0);
  for (int row = 0; row < 17; ++row)
    for (int slot = 0; slot < 2; ++slot) EXPECT_NE(ui_->GetKeyField(row, slot)->GetKey(), DIK_B);
  // Z (44) and B (48) held: the lower code, taken from the field that had it.
  ui_->GetKeyField(7, 1)->SetSelected(true);
  SendKey(InputEventType::KeyDown, DIK_Z);
  Advance(20);
  ui_->CaptureKey(0);
  EXPECT_EQ(ui_->GetKeyField(7, 1)->GetKey(), DIK_Z);
  EXPECT_EQ(ui_->GetKeyField(1, 0)->GetKey(), 0);
  EXPECT_EQ(ui_->GetKeyField(1, 0)->GetText(), " -----   ");
  // No key down: the lowest joystick key.
  SendKey(InputEventType::KeyUp, DIK_Z);
  SendKey(InputEventType::KeyUp, DIK_B);
  SendJoystick(InputEventType::JoystickPlug);
  InitJoystick();
  SendJoystick(InputEventType::JoystickButtonDown, 5);
  SendJoystick(InputEventType::JoystickButtonDown, 2);
  Advance(40);
  ui_->CaptureKey(0);
  EXPECT_EQ(ui_->GetKeyField(7, 1)->GetKey(), 4098);
  EXPECT_EQ(ui_->GetKeyField(7, 1)->GetText(), " joy3    ");
}

TEST_F(MenuWidgetsTest, TheMissionListScrollsWithinItsRowsAndShowsSessionsWithTheirCounts) {
  CMissionList list(120, 167, 334, 429);
  const int perView = list.Height() / list.RowHeight();
  ASSERT_LT(perView, 24);
  EXPECT_FALSE(list.Scroll(-1));
  EXPECT_TRUE(list.Scroll(100));
  EXPECT_EQ(list.GetFirstRow(), 24 - perView);
  EXPECT_FALSE(list.Scroll(1));
  EXPECT_TRUE(list.Scroll(-100));
  EXPECT_EQ(list.GetFirstRow(), 0);
  EXPECT_EQ(list.LineText(5), " Mirel\x92s Refuge          ");

  // A click on the row under the point chooses its mission.
  list.SetMouse(130, 167 + list.RowHeight() * 3 + 2);
  EXPECT_TRUE(list.Update(true));
  EXPECT_EQ(list.GetChosenRow(), 3);

  std::list<CNetSessionInfo> sessions(2);
  sessions.front().name = "KESTREL";
  sessions.front().mission = 5;
  sessions.front().currentPlayers = sessions.front().maxPlayers = 8;
  sessions.back().name = "A VERY LONG SESSION NAME INDEED";
  sessions.back().mission = 24;
  sessions.back().currentPlayers = 1;
  sessions.back().maxPlayers = 16;
  list.SetSessions(&sessions, true);
  list.Reset();
  // (214 - 8) / 8 = 25 cells: the name in 14 of them.
  EXPECT_EQ(list.LineText(0), "KESTREL       - m05, 08/08");
  EXPECT_EQ(list.LineText(1), "A VERY LONG SE- m24, 01/16");
  EXPECT_FALSE(list.Scroll(1));  // two sessions fit
  list.SetMouse(130, 167 + list.RowHeight() + 2);
  EXPECT_TRUE(list.Update(true));
  CString name;
  list.GetChosenSessionName(&name);
  EXPECT_EQ(name, "A VERY LONG SESSION NAME INDEED");
  EXPECT_EQ(list.GetChosenSessionMission(), 24);
  list.SetMouse(130, 167 + list.RowHeight() * 4 + 2);
  EXPECT_FALSE(list.Update(true));  // no session there
  EXPECT_EQ(list.GetChosenSessionMission(), 0);
}

// A saved game's first fields as the save screen writes them.
std::string Header(const std::string& mission, const std::string& description, uint32_t version = 72211) {
  std::string bytes = "KRVX";
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((version >> (8 * i)) & 0xFF);
  for (const std::string& s : {mission, description, std::string()}) {
    bytes += static_cast<char>(s.size());
    bytes += s;
  }
  return bytes;
}

void WriteSlot(int slot, const std::string& bytes) {
  const std::string path = SaveGamePath(slot).Str();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(MenuWidgetsTest, TheSavedGameListShowsGoodSlotsAndEditsOnlyWhenALineIsOpen) {
  WriteSlot(0, Header("M3.CAN", "BY THE REACTOR"));
  WriteSlot(1, Header("M4.PAK", "FOREIGN"));
  WriteSlot(2, Header("M5.can", "OLD", 70000));
  // A length far beyond the file is refused before anything is allocated.
  WriteSlot(3, std::string("KRVX\x13\x1a\x01\x00\xff\xff\xff\xff\xff\xff\x7f", 15));
  WriteSlot(4, Header("m7.Can", "LAST"));
  CSavedGameList list(155, 151, 484, 389);
  list.Fill(false);
  EXPECT_EQ(list.Row(0), "M3: BY THE REACTOR");
  EXPECT_EQ(list.Row(1), "");
  EXPECT_EQ(list.Row(2), "");
  EXPECT_EQ(list.Row(3), "");
  EXPECT_EQ(list.Row(4), "m7: LAST");
  // Loading: an empty slot can't be chosen.
  list.SetMouse(160, 151 + list.RowHeight() * 1 + 2);
  list.Update(true);
  EXPECT_EQ(list.GetChosenSlot(), -1);
  list.SetMouse(160, 151 + list.RowHeight() * 4 + 2);
  list.Update(true);
  EXPECT_EQ(list.GetChosenSlot(), 4);

  // Saving: keys and characters mean nothing until a row is clicked.
  list.Fill(true);
  list.OnChar('X');
  list.OnKey(8);
  EXPECT_EQ(list.GetEditLine(), nullptr);
  list.SetMouse(160, 151 + 2);
  list.Update(true);
  ASSERT_NE(list.GetEditLine(), nullptr);
  EXPECT_EQ(list.GetEditLine()->GetText(), "BY THE REACTOR");
  list.OnKey(8);
  list.OnChar('s');
  CString text;
  list.GetChosenText(&text);
  EXPECT_EQ(text, "BY THE REACTOS");
  EXPECT_EQ(list.GetChosenSlot(), 0);
  list.OnKey(27);
  EXPECT_EQ(list.GetEditLine(), nullptr);
  EXPECT_EQ(list.GetChosenSlot(), -1);
}

}  // namespace

namespace {

TEST_F(MenuWidgetsTest, AStylePickerTakesTheCellUnderAPressIncludingItsEdges) {
  CStylePicker picker(72, 222, 16, 16, 28, 8);
  picker.SetChosen(2);
  const struct {
    int x, y;
    bool down;
    int chosen;
  } cases[] = {
      {72 + 28 * 5, 222, true, 5},        // top left corner of cell 5
      {72 + 28 * 5 + 16, 238, true, 5},   // its far corner
      {72 + 28 * 5 + 17, 230, true, 5},   // between cells: no change
      {72 + 28 * 7 + 8, 230, false, 5},   // no press
      {72 + 28 * 7 + 8, 230, true, 7},
      {72, 239, true, 7},                 // below the cells
  };
  for (const auto& c : cases) {
    picker.SetMouse(c.x, c.y);
    picker.Update(c.down);
    EXPECT_EQ(picker.GetChosen(), c.chosen) << c.x << "," << c.y;
  }
}

}  // namespace
