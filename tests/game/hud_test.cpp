// The HUD: its layout table, the message log's lines (splitting, scrolling,
// dimming) and the log drawn over a frame in each layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/palette.h"
#include "game/hud_colours.h"
#include "game/hud_layout.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"
#include "tests/game/document_fixture.h"
#include "tests/game/hud_fixture.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/palette_builder.h"

namespace {

// ---------------------------------------------------------------------------
// Layouts

TEST(HudLayoutTable, EachLayoutPlacesItsPartsAtItsPositions) {
  struct Case {
    HudLayout layout;
    int gauge[4], missile[2], slots[3], ship[2], log[2], score[4], numbers[2];
    bool pictures;
  };
  const Case cases[] = {
      {HudLayout::Cockpit, {446, 382, 10, 68}, {168, 410}, {69, 8, 20}, {120, 405}, {315, 5}, {460, 382, 6, 12},
       {95, 405}, true},
      {HudLayout::Plain, {520, 408, 10, 68}, {80, 430}, {69, 2, 20}, {35, 425}, {381, 2}, {564, 408, 6, 12},
       {2, 430}, true},
      {HudLayout::Large, {656, 512, 15, 80}, {100, 550}, {200, 8, 20}, {45, 545}, {534, 8}, {700, 512, 6, 16},
       {5, 550}, true},
      {HudLayout::Small, {267, 197, 5, 40}, {0, 0}, {130, -24, 19}, {0, 0}, {0, 0}, {275, 198, 5, 7}, {1, 222},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.layout));
    const HudLayoutPositions& at = HudPositions(c.layout);
    EXPECT_EQ((std::vector<int>{at.gaugeX, at.gaugeY, at.gaugeWidth, at.gaugeHeight}),
              (std::vector<int>{c.gauge[0], c.gauge[1], c.gauge[2], c.gauge[3]}));
    EXPECT_EQ((std::vector<int>{at.slotX, at.slotY, at.slotStep}),
              (std::vector<int>{c.slots[0], c.slots[1], c.slots[2]}));
    EXPECT_EQ((std::vector<int>{at.scoreX, at.scoreY, at.scoreLines, at.scoreWidth}),
              (std::vector<int>{c.score[0], c.score[1], c.score[2], c.score[3]}));
    EXPECT_EQ((std::vector<int>{at.numbers.x, at.numbers.y}), (std::vector<int>{c.numbers[0], c.numbers[1]}));
    EXPECT_EQ(at.missileReadyShown, c.pictures);
    EXPECT_EQ(at.slotPicturesShown, c.pictures);
    EXPECT_EQ(at.shipStatusShown, c.pictures);
    EXPECT_EQ(at.messageLogShown, c.pictures);
    if (c.pictures) {
      EXPECT_EQ((std::vector<int>{at.missileReady.x, at.missileReady.y, at.shipStatus.x, at.shipStatus.y,
                                  at.messageLog.x, at.messageLog.y}),
                (std::vector<int>{c.missile[0], c.missile[1], c.ship[0], c.ship[1], c.log[0], c.log[1]}));
    }
  }
}

TEST(HudLayoutTable, TheResolutionAndTheCockpitChooseTheLayout) {
  EXPECT_EQ(HudLayoutFor(0, true), HudLayout::Cockpit);
  EXPECT_EQ(HudLayoutFor(0, false), HudLayout::Plain);
  EXPECT_EQ(HudLayoutFor(1, true), HudLayout::Small);
  EXPECT_EQ(HudLayoutFor(1, false), HudLayout::Small);
  EXPECT_EQ(HudLayoutFor(2, true), HudLayout::Large);
  EXPECT_EQ(HudLayoutFor(2, false), HudLayout::Large);
}

// ---------------------------------------------------------------------------
// The message log's lines

class MessageLogTest : public DocumentTest {
 protected:
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < CNetDoc::kMessageLines; ++i) lines.push_back(doc_->GetMessageText(i).Str());
    return lines;
  }
};

TEST_F(MessageLogTest, LongTextsAreSplitAfterTheirLastBreakWithinFortyTwoCharacters) {
  MakeDocument();
  const std::string letters43(43, 'x');
  const std::string blank40 = std::string(40, 'a') + " " + std::string(9, 'b');  // 50 characters
  const std::string stop41 = std::string(41, 'c') + "." + "dd";
  const std::string comma1 = "e," + std::string(45, 'f');
  const std::string blank42 = std::string(42, 'g') + " h";  // the blank at index 42 is too late
  const std::string letters100(100, 'z');
  struct Case {
    const std::string& text;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {letters43, {std::string(42, 'x'), "x"}},
      {blank40, {std::string(40, 'a') + " ", std::string(9, 'b')}},
      {stop41, {std::string(41, 'c') + ".", "dd"}},
      {comma1, {"e,", std::string(45, 'f').substr(0, 42), "fff"}},
      {blank42, {std::string(42, 'g'), " h"}},
      {letters100, {std::string(42, 'z'), std::string(42, 'z'), std::string(16, 'z')}},
      {"exactly fits", {"exactly fits"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DeleteDocument();
    MakeDocument();
    doc_->AddMessage(c.text.c_str(), 0, FALSE);
    std::vector<std::string> expected = c.parts;
    expected.resize(CNetDoc::kMessageLines);
    EXPECT_EQ(Lines(), expected);
    for (size_t i = 0; i < c.parts.size(); ++i) EXPECT_TRUE(doc_->IsMessageFresh(static_cast<int>(i))) << i;
  }
}

TEST_F(MessageLogTest, AFullLogScrollsAndKeepsTheLastSevenLines) {
  MakeDocument();
  for (int i = 1; i <= 8; ++i) doc_->AddMessage(("line " + std::to_string(i)).c_str(), i, FALSE);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"line 2", "line 3", "line 4", "line 5", "line 6", "line 7", "line 8"}));
  // Text, colour and fresh mark move together; only the newest line is fresh.
  EXPECT_TRUE(doc_->IsMessageFresh(6));
  EXPECT_FALSE(doc_->IsMessageFresh(5));
  EXPECT_EQ(doc_->GetMessageColour(6), 8);
  // A split message scrolls by one line per part.
  doc_->AddMessage((std::string(42, 'q') + "tail").c_str(), 0, FALSE);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"line 4", "line 5", "line 6", "line 7", "line 8",
                                               std::string(42, 'q'), "tail"}));
  EXPECT_EQ(doc_->GetMessageRedraw(), 2);
}

TEST_F(MessageLogTest, OlderLinesDimOnceWhenANewMessageArrivesAndColourZeroKeepsTheFontColours) {
  MakeDocument();
  g_PaletteCount = 256;
  for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 128;
  const auto set = [](int i, int r, int g, int b) {
    g_PaletteRed[i] = r;
    g_PaletteGreen[i] = g;
    g_PaletteBlue[i] = b;
  };
  set(50, 200, 100, 0);
  set(60, 140, 70, 0);  // 70 % of entry 50
  set(61, 98, 49, 0);   // 70 % of entry 60
  set(0, 0, 0, 0);
  set(40, 0, 0, 0);     // what colour 0 would dim to

  doc_->AddMessage("first", 50, FALSE);
  doc_->AddMessage("plain", 0, TRUE);    // a continuation: nothing dims
  doc_->AddMessage("default", -1, TRUE);
  EXPECT_EQ(doc_->GetMessageColour(0), 50);
  EXPECT_TRUE(doc_->IsMessageFresh(0));

  doc_->AddMessage("second", 50, FALSE);
  EXPECT_EQ(doc_->GetMessageColour(0), 60);
  EXPECT_EQ(doc_->GetMessageColour(1), 0);   // not dimmed into black
  EXPECT_EQ(doc_->GetMessageColour(2), -1);
  EXPECT_FALSE(doc_->IsMessageFresh(0));
  EXPECT_TRUE(doc_->IsMessageFresh(3));

  doc_->AddMessage("third", 50, FALSE);
  EXPECT_EQ(doc_->GetMessageColour(0), 60);  // dimmed once only
  EXPECT_EQ(doc_->GetMessageColour(3), 60);
  EXPECT_EQ(doc_->GetMessageColour(4), 50);
}

// ---------------------------------------------------------------------------
// The log drawn over a frame

using MessageLogDrawTest = HudDrawTest;

TEST_F(MessageLogDrawTest, TheLogDrawsItsLinesInEachLayoutWhileItsCounterRuns) {
  struct Case {
    int resolution;
    bool cockpit;
    bool drawn;
    int x, y;
    bool keyed;
  };
  const Case cases[] = {
      {0, true, true, 315, 5, false},  {0, false, true, 381, 2, true}, {2, true, true, 534, 8, true},
      {2, false, false, 534, 8, true}, {1, true, false, 0, 0, true},
  };
  MakeInterface(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.resolution) + (c.cockpit ? " cockpit" : ""));
    delete view_;
    DeleteDocument();
    MakeDocument();
    view_ = new CNetView;
    ASSERT_EQ(doc_->GetView(), view_);
    g_BlackColour = 3;
    interface_->SetResolution(c.resolution);
    interface_->SetCockpitShown(c.cockpit);
    UseTarget(c.resolution);
    doc_->AddMessage("A", 0, FALSE);
    doc_->AddMessage("C", 200, FALSE);
    Clear(7);
    const int rectsBefore = view_->GetDirtyRectCount();
    doc_->DrawHud();
    if (!c.drawn) {
      EXPECT_EQ(doc_->GetMessageRedraw(), 2);
      for (int x = 0; x < 320; x += 13) EXPECT_EQ(Pixel(x, 20), 7) << x;
      continue;
    }
    EXPECT_EQ(doc_->GetMessageRedraw(), 1);
    // The background box: from (x - 2, y - 1) to (x + 255, y + 7 lines).
    EXPECT_EQ(Pixel(c.x - 2, c.y - 1), 3);
    EXPECT_EQ(Pixel(c.x + 255, c.y + 7 * kGlyphHeight), 3);
    EXPECT_EQ(Pixel(c.x - 3, c.y), 7);
    EXPECT_EQ(Pixel(c.x + 256, c.y), 7);
    EXPECT_EQ(Pixel(c.x, c.y + 7 * kGlyphHeight + 1), 7);
    // Line 0 "A" (glyph 33) in the font's colours, opaque in the cockpit
    // layout (the key shows) and keyed otherwise (the box shows); line 1 "C"
    // (glyph 35) in colour 200.
    for (int row = 0; row < kGlyphHeight; ++row) {
      for (int column = 0; column < kGlyphWidth; ++column) {
        const int a = SheetPixel(33, column, row);
        const int expectA = a == 109 && c.keyed ? 3 : a;
        EXPECT_EQ(Pixel(c.x + column, c.y + row), expectA) << column << "," << row;
        const int expectC = SheetPixel(35, column, row) == 109 ? 3 : 200;
        EXPECT_EQ(Pixel(c.x + column, c.y + kGlyphHeight + row), expectC) << column << "," << row;
      }
    }
    // The log's rectangle is among the frame's.
    bool recorded = false;
    for (int i = rectsBefore; i < view_->GetDirtyRectCount(); ++i) {
      const DirtyRect& r = view_->GetDirtyRect(i);
      recorded |= std::vector<int>{r.left, r.top, r.right, r.bottom} ==
                  std::vector<int>{c.x - 2, c.y - 1, c.x + 256, c.y + 7 * kGlyphHeight + 1};
    }
    EXPECT_TRUE(recorded);
    // Drawn on the second frame too, for the other page, then no more.
    doc_->DrawHud();
    EXPECT_EQ(doc_->GetMessageRedraw(), 0);
    Clear(7);
    doc_->DrawHud();
    EXPECT_EQ(Pixel(c.x, c.y), 7);
    EXPECT_EQ(Pixel(c.x - 2, c.y - 1), 7);
  }
}

TEST_F(MessageLogDrawTest, NothingIsDrawnWhileTheHudIsOff) {
  MakeInterface(1);
  MakeDocument();
  UseTarget(0);
  g_BlackColour = 3;
  doc_->AddMessage("A", 0, FALSE);
  doc_->SetHudOff(true);
  Clear(7);
  doc_->DrawHud();
  EXPECT_EQ(Pixel(315, 5), 7);
  EXPECT_EQ(doc_->GetMessageRedraw(), 2);
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------
// The palette search

TEST(HudColours, TheNearestGameEntryAndTheFirstNearEnoughOne) {
  PaletteReset();
  g_PaletteCount = 256;
  for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 128;
  g_PaletteRed[5] = g_PaletteGreen[5] = g_PaletteBlue[5] = 0;  // a system entry: never chosen
  g_PaletteRed[12] = g_PaletteGreen[12] = g_PaletteBlue[12] = 0;
  g_PaletteRed[30] = g_PaletteGreen[30] = g_PaletteBlue[30] = 0;
  EXPECT_EQ(FindNearestPaletteIndex(0, 0, 0), 12);
  // Distance 4 is near enough: entry 20 ends the search before the exact 21.
  g_PaletteRed[20] = 202;
  g_PaletteGreen[20] = g_PaletteBlue[20] = 0;
  g_PaletteRed[21] = 200;
  g_PaletteGreen[21] = g_PaletteBlue[21] = 0;
  EXPECT_EQ(FindNearestPaletteIndex(200, 0, 0), 20);
  // Distance 9 is not: the nearer entry after it wins.
  g_PaletteRed[20] = 203;
  EXPECT_EQ(FindNearestPaletteIndex(200, 0, 0), 21);
  // Without an entry near enough, the nearest: green counts as much as red
  // (weighting green by 5/4 would pick entry 40).
  g_PaletteRed[40] = 110;
  g_PaletteGreen[40] = g_PaletteBlue[40] = 0;
  g_PaletteGreen[41] = 109;
  g_PaletteRed[41] = g_PaletteBlue[41] = 0;
  EXPECT_EQ(FindNearestPaletteIndex(0, 0, 0), 12);
  g_PaletteRed[12] = g_PaletteRed[30] = 200;
  EXPECT_EQ(FindNearestPaletteIndex(0, 0, 0), 41);
  g_PaletteCount = 10;
  EXPECT_EQ(FindNearestPaletteIndex(0, 0, 0), 0);
  PaletteReset();
}

// ---------------------------------------------------------------------------
// Freon

TEST_F(MessageLogTest, FreonTakesTheGunHeatAndTheHudOnlyShowsIt) {
  MakeDocument();
  struct Case {
    float heat, freon, heatAfter, freonAfter;
  };
  const Case cases[] = {
      {0.2f, 10.0f, 0.0f, 6.0f}, {0.8f, 10.0f, 0.3f, 0.0f}, {0.5f, 0.0f, 0.5f, 0.0f}, {0.0f, 50.0f, 0.0f, 50.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heat);
    doc_->SetGunHeat(c.heat);
    doc_->SetFreon(c.freon);
    doc_->CoolWithFreon();  // the simulation step's (its place in the step: LevelStartTest)
    EXPECT_NEAR(doc_->GetGunHeat(), c.heatAfter, 1e-5);
    EXPECT_NEAR(doc_->GetFreon(), c.freonAfter, 1e-5);
  }
  // Drawing the HUD does not cool.
  doc_->SetGunHeat(0.2f);
  doc_->SetFreon(10.0f);
  doc_->DrawHud();
  EXPECT_FLOAT_EQ(doc_->GetGunHeat(), 0.2f);
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 10.0f);
}

// ---------------------------------------------------------------------------
// The gauge drawn over a frame

TEST_F(MessageLogDrawTest, TheGaugeShowsTheFreonLevelOrTheHeatInItsColourBands) {
  // Every game entry grey but the five gauge colours, each exact.
  const int freonBlue = 100, pale = 101, red = 102, yellow = 103, green = 104;
  const auto palette = [&] {
    g_PaletteCount = 256;
    for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 128;
    const int colours[][4] = {{freonBlue, 0, 0, 255}, {pale, 255, 95, 95}, {red, 223, 0, 0},
                              {yellow, 223, 223, 0}, {green, 0, 223, 0}};
    for (const auto& c : colours) {
      g_PaletteRed[c[0]] = c[1];
      g_PaletteGreen[c[0]] = c[2];
      g_PaletteBlue[c[0]] = c[3];
    }
  };
  struct Probe {
    int dx, dy, colour;  // from the gauge's top left
  };
  struct Case {
    const char* what;
    int resolution;
    bool cockpit;
    float heat, freon;
    int x, y;
    std::vector<Probe> probes;
  };
  const int bg = 7, black = 3;
  const Case cases[] = {
      // 68 high: the green band from row trunc(0.7 x 68) = 47, the yellow
      // one from 0.5 x 68 = 34.
      {"C heat 0.5", 0, true, 0.5f, 0.0f, 446, 382,
       {{-2, -2, black}, {11, 69, black}, {-3, 0, bg}, {12, 0, bg}, {0, 33, black}, {0, 34, yellow},
        {9, 46, yellow}, {0, 47, green}, {9, 67, green}, {0, 68, black}}},
      {"P heat 0.5", 0, false, 0.5f, 0.0f, 520, 408,
       {{-2, -2, black}, {0, 33, black}, {0, 34, yellow}, {9, 46, yellow}, {0, 47, green}, {9, 67, green}}},
      // 0.9: pale from trunc(0.1 x 68) = 6 to 10, red to 27, yellow to 47.
      {"C heat 0.9", 0, true, 0.9f, 0.0f, 446, 382,
       {{0, 5, black}, {0, 6, pale}, {0, 9, pale}, {0, 10, red}, {0, 26, red}, {0, 27, yellow}, {0, 46, yellow},
        {0, 47, green}}},
      // Freon 25: the lower quarter, from row 51.
      {"C Freon 25", 0, true, 0.8f, 25.0f, 446, 382, {{0, 50, black}, {0, 51, freonBlue}, {9, 67, freonBlue}}},
      {"L heat 0.5", 2, true, 0.5f, 0.0f, 656, 512,
       {{-2, -2, black}, {16, 81, black}, {0, 39, black}, {14, 40, yellow}, {0, 50, yellow}, {0, 60, green},
        {14, 79, green}}},
      {"S heat 0.5", 1, true, 0.5f, 0.0f, 267, 197,
       {{-1, -1, black}, {-2, -2, bg}, {5, 40, black}, {6, 41, bg}, {0, 19, black}, {0, 20, yellow}, {4, 39, green}}},
      {"L without the cockpit", 2, false, 0.5f, 0.0f, 656, 512, {{-2, -2, bg}, {0, 79, bg}}},
      {"S without the cockpit", 1, false, 0.5f, 0.0f, 267, 197, {{-1, -1, bg}, {0, 39, bg}}},
  };
  MakeInterface(1);
  MakeDocument();
  g_BlackColour = 3;
  palette();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    interface_->SetResolution(c.resolution);
    interface_->SetCockpitShown(c.cockpit);
    UseTarget(c.resolution);
    doc_->SetGunHeat(c.heat);
    doc_->SetFreon(c.freon);
    Clear(bg);
    doc_->DrawHudPanel();
    for (const Probe& p : c.probes) EXPECT_EQ(Pixel(c.x + p.dx, c.y + p.dy), p.colour) << p.dx << "," << p.dy;
  }
  PaletteReset();
}

}  // namespace
