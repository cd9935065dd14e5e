// The HUD's parts over a frame: the weapon slots with their counts and
// refill dots, the missile-ready picture, the ship-status picture, the
// letterbox bars, the mission-accomplished screen, the countdown, the
// scoreboard and the chat line, and the whole HUD in each layout.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/menu_widgets.h"
#include "game/network_layer.h"
#include "tests/game/fake_direct_play.h"
#include "tests/game/hud_fixture.h"
#include "world/enemies/enemy_manager.h"
#include "world/paths/path_point.h"

namespace {

class HudPartsTest : public HudDrawTest {
 protected:
  void SetUp() override {
    HudDrawTest::SetUp();
    savedTime_ = g_GameTime;
    g_GameTime = 100000;
    MakeInterface(1);
    MakeDocument();
    view_ = new CNetView;
    UseDemoPalette();
    g_BlackColour = 3;
    Use(0, true);
  }
  void TearDown() override {
    g_GameTime = savedTime_;
    g_NextMissionArchive = "";
    // The test keeps the camera it lends the document.
    if (doc_) doc_->SetCameraSlot(0, nullptr);
    HudDrawTest::TearDown();
  }
  void Use(int resolution, bool cockpit) {
    interface_->SetResolution(resolution);
    interface_->SetCockpitShown(cockpit);
    UseTarget(resolution);
  }
  // A fresh rectangle list for the next frame (a view's end takes the
  // cockpit away; it is put back).
  void NewFrame() {
    const bool cockpit = interface_->IsCockpitShown();
    delete view_;
    view_ = new CNetView;
    interface_->SetCockpitShown(cockpit);
  }
  // The nearest game entry by plain squared distance (the gauge's and the
  // log's search), worked out here over the demo palette.
  int Nearest(int r, int g, int b) const {
    int best = 10, bestDistance = -1;
    for (int i = 10; i < 246; ++i) {
      const int dr = r - palette_.red[i], dg = g - palette_.green[i], db = b - palette_.blue[i];
      const int d = dr * dr + dg * dg + db * db;
      if (d < 5) return i;
      if (bestDistance < 0 || d < bestDistance) {
        best = i;
        bestDistance = d;
      }
    }
    return best;
  }
  // The region's pixels.
  static std::vector<int> Region(int x, int y, int w, int h) {
    std::vector<int> pixels;
    for (int row = 0; row < h; ++row) {
      for (int column = 0; column < w; ++column) pixels.push_back(Pixel(x + column, y + row));
    }
    return pixels;
  }
  // A picture over a background, opaque or keyed.
  static std::vector<int> Over(std::vector<int> under, CPicture& picture, bool keyed) {
    for (int row = 0; row < picture.GetHeight(); ++row) {
      for (int column = 0; column < picture.GetWidth(); ++column) {
        const int p = picture.PixelAt(column, row);
        if (!keyed || p != 109) under[row * picture.GetWidth() + column] = p;
      }
    }
    return under;
  }
  // The pattern font's cells of text drawn opaque at (x, y) match.
  static void ExpectText(const std::string& text, int x, int y) {
    for (size_t k = 0; k < text.size(); ++k) {
      const int glyph = CBitmapFont::GlyphIndex(text[k]);
      for (int row = 0; row < kGlyphHeight; ++row) {
        for (int column = 0; column < kGlyphWidth; ++column) {
          ASSERT_EQ(Pixel(x + static_cast<int>(k) * kGlyphWidth + column, y + row), SheetPixel(glyph, column, row))
              << "'" << text << "' cell " << k << " at " << column << "," << row;
        }
      }
    }
  }
  // What text in font looks like at (x, y) over colour bg, drawn alone.
  static std::vector<int> Reference(CBitmapFont& font, const char* text, int x, int y, bool keyed, int bg, int w,
                                    int h) {
    Clear(bg);
    font.DrawText(text, x, y, keyed);
    return Region(x, y, w, h);
  }

  int32_t savedTime_ = 0;
  CPathPoint camera_;  // a script camera's point
};

// ---------------------------------------------------------------------------
// Weapon slots

TEST_F(HudPartsTest, WeaponSlotsShowTheirStateCountAndRefillDot) {
  TuningBlock& t = doc_->Tuning();
  t.rocketCapacity = 10;
  t.homingCapacity = 4;
  t.vortexShieldCapacity = 3;
  t.microMissileCapacity = 8;
  t.nukeCapacity = 2;
  t.sentryCapacity = 2;
  t.shellCapacity = 100;
  t.energyCellCapacity = 50;
  t.slugCapacity = 20;
  t.plasmaBoltCapacity = 30;
  doc_->SetCargoUnits(1);
  // Rockets 3 < 20 but homing 8 = 4 x 2: no refill. Vortex 2 < 3. Micro 16 =
  // 8 x 2. Nukes 1 < 2. Sentries 2 = 2. Shells 100 = 100. Cells 12 < 50.
  // Slugs 0 < 20. Plasma 30 = 30.
  const int ammo[kAmmoCounters] = {100, 30, 1, 0, 3, 8, 16, 2, 2, 12};
  for (int i = 0; i < kAmmoCounters; ++i) doc_->SetAmmo(i, ammo[i]);
  // Owned: rockets, micro (selected), nuke; autocannon (selected), plasma
  // coil, core accelerator.
  doc_->SetOwnedWeapons(1 | 2 | 32, 1 | 4 | 8);
  doc_->SetSelectedWeapons(1, 4);
  struct Slot {
    int digit, state, count;
    bool green;
  };
  const Slot slots[10] = {{1, 1, 11, false}, {2, 2, 2, true},   {3, 0, 16, false}, {4, 1, 1, true},
                          {5, 2, 2, false},  {6, 0, 100, false}, {7, 2, 12, true},  {8, 1, 0, true},
                          {9, 2, 12, true},  {0, 1, 30, false}};
  const int green = NearestGameColour(palette_, 0, 255, 0), red = NearestGameColour(palette_, 255, 0, 0);
  ASSERT_NE(green, red);

  for (int frame = 0; frame < 3; ++frame) {
    SCOPED_TRACE(frame);
    NewFrame();
    Clear(7);
    doc_->DrawHudPanel();
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(i);
      const int x = 69 + 20 * i, y = 8;
      CPicture& picture = doc_->GetWeaponPicture(slots[i].digit, slots[i].state);
      // The picture while the slot counter runs (2 frames), then not.
      const std::vector<int> bg(18 * 24, 7);
      EXPECT_EQ(Region(x, y, 18, 24), frame < 2 ? Over(bg, picture, false) : bg);
      char count[8];
      std::snprintf(count, sizeof count, "%3d", slots[i].count);
      ExpectText(count, x, y + 25);
      EXPECT_EQ(Region(x + 2, y + 34, 3, 1), std::vector<int>(3, slots[i].green ? green : red));
      EXPECT_EQ(Pixel(x + 5, y + 34), 7);
    }
    const std::vector<std::vector<int>> rects = DirtyRects();
    EXPECT_NE(std::find(rects.begin(), rects.end(), std::vector<int>({68, 7, 270, 43})), rects.end());
  }
  EXPECT_EQ(doc_->GetSlotRedraw(), 0);

  // 320x240 with the cockpit: counts and dots from (130, 1), no pictures.
  Use(1, true);
  doc_->InvalidateAmmoPanel();
  Clear(7);
  doc_->DrawHudPanel();
  for (int i = 0; i < 10; ++i) {
    const int x = 130 + 19 * i;
    char count[8];
    std::snprintf(count, sizeof count, "%3d", slots[i].count);
    ExpectText(count, x, 1);
    EXPECT_EQ(Pixel(x + 2, 10), slots[i].green ? green : red);
  }
  EXPECT_EQ(Pixel(135, 0), 7);  // above the counts, where a picture would end
}

TEST_F(HudPartsTest, TheMissileReadyPictureFollowsTheReloadOfTheSelectedKinds) {
  TuningBlock& t = doc_->Tuning();
  t.rocketInterval = 500;
  t.microMissileInterval = 300;
  t.nukeInterval = 2000;
  t.sentryInterval = 700;
  t.vortexShieldInterval = 900;
  struct Case {
    int selected, fired;
    int ago;
    bool ready;
  };
  const Case cases[] = {
      {1, kFireRockets, 499, false},       {1, kFireRockets, 500, true},          {2, kFireRockets, 100, false},
      {4, kFireMicroMissiles, 299, false}, {4, kFireRockets, 100, true},          {8, kFireNuke, 1999, false},
      {64, kFireSentry, 600, false},       {32, kFireVortexShield, 901, true},    {4 | 8, kFireNuke, 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.selected) + " " + std::to_string(c.ago));
    for (int kind = 0; kind < kFireKinds; ++kind) doc_->SetLastFireTime(kind, 0);
    doc_->SetSelectedWeapons(1, static_cast<uint8_t>(c.selected));
    doc_->SetLastFireTime(c.fired, static_cast<uint32_t>(g_GameTime - c.ago));
    EXPECT_EQ(doc_->IsMissileReady(), c.ready);
  }

  // Drawn on two frames after each change, at (168, 410) with the cockpit.
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetLastFireTime(kFireRockets, static_cast<uint32_t>(g_GameTime - 100));
  CPicture& reloading = doc_->GetMissileReloadPicture();
  CPicture& ready = doc_->GetMissileReadyPicture();
  const int w = ready.GetWidth(), h = ready.GetHeight();
  const std::vector<int> bg(static_cast<size_t>(w * h), 7);
  const std::vector<std::vector<int>> frames = {Over(bg, reloading, false), Over(bg, reloading, false), bg};
  for (const std::vector<int>& expected : frames) {
    Clear(7);
    doc_->DrawHudPanel();
    EXPECT_EQ(Region(168, 410, w, h), expected);
  }
  g_GameTime += 400;
  for (const std::vector<int>& expected : {Over(bg, ready, false), Over(bg, ready, false), bg}) {
    Clear(7);
    doc_->DrawHudPanel();
    EXPECT_EQ(Region(168, 410, w, h), expected);
  }
  EXPECT_EQ(doc_->GetMissileReadyRedraw(), 0);
}

// ---------------------------------------------------------------------------
// Ship status

TEST_F(HudPartsTest, TheShipStatusLaysTheShieldShellsOverTheShipByStrength) {
  ASSERT_TRUE(doc_->CreateLocalPlayer());
  CDirectPlayer* ship = doc_->GetLocalPlayer();
  // Shield pictures: index (shell d, c, b) x 3 + (strength 2, 3, 4).
  const int d2 = 0, c2 = 3, c4 = 5, b2 = 6, b3 = 7, b4 = 8;
  struct Case {
    float shields, health;
    int resolution;
    bool cockpit;
    int x, y;
    std::vector<int> shells;  // in drawing order
    int ship;                 // 0 HERO2, 1 HERO3, 2 HERO4; -1 nothing drawn
  };
  const Case cases[] = {
      {160, 40, 0, true, 120, 405, {d2, c2, b2}, 0},
      // 100 of 160: v = 300 - 320 (no "d"), 140 ("HERO2c"), 300 ("HERO2b").
      {100, 40, 0, false, 35, 425, {c2, b2}, 0},
      {60, 15, 2, true, 45, 545, {c4, b2}, 1},  // v = -140, 20 ("HERO4c"), 180 ("HERO2b")
      {30, 9, 0, true, 120, 405, {b3}, 2},       // v = 90: "HERO3b"
      {5, 19.9f, 0, true, 120, 405, {}, 1},      // v = 15 < 16: no shell
      {10, 40, 0, true, 120, 405, {b4}, 0},      // v = 30 < 53.3: "HERO4b"
      {160, 40, 2, false, 45, 545, {}, -1},
      {160, 40, 1, true, 0, 0, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.shields) + " " + std::to_string(c.resolution));
    Use(c.resolution, c.cockpit);
    NewFrame();
    ship->SetShields(c.shields);
    ship->SetHealth(c.health);
    Clear(7);
    doc_->DrawShipStatus();
    CPicture& hull = doc_->GetShipPicture(0);
    const int w = hull.GetWidth(), h = hull.GetHeight();
    if (c.ship < 0) {
      EXPECT_EQ(Region(0, 0, target_.width, target_.height),
                std::vector<int>(static_cast<size_t>(target_.width * target_.height), 7));
      EXPECT_EQ(view_->GetDirtyRectCount(), 0);
      continue;
    }
    // The black box one pixel round, then the pictures: the first opaque in
    // the cockpit layout, the rest keyed.
    std::vector<int> expected(static_cast<size_t>((w + 2) * (h + 2)), 3);
    std::vector<int> inner(static_cast<size_t>(w * h), 3);
    bool first = true;
    const bool cockpitLayout = c.resolution == 0 && c.cockpit;
    for (int shell : c.shells) {
      inner = Over(inner, doc_->GetShipShieldPicture(shell), !(first && cockpitLayout));
      first = false;
    }
    inner = Over(inner, doc_->GetShipPicture(c.ship), !(first && cockpitLayout));
    for (int row = 0; row < h; ++row) {
      for (int column = 0; column < w; ++column) expected[(row + 1) * (w + 2) + column + 1] = inner[row * w + column];
    }
    EXPECT_EQ(Region(c.x - 1, c.y - 1, w + 2, h + 2), expected);
    EXPECT_EQ(Pixel(c.x - 2, c.y), 7);
    EXPECT_EQ(DirtyRects(), (std::vector<std::vector<int>>{{c.x - 1, c.y - 1, c.x + w + 1, c.y + h + 1}}));
  }
}

// ---------------------------------------------------------------------------
// Letterbox, mission accomplished, countdown

TEST_F(HudPartsTest, AScriptCameraGetsLetterboxBarsAndNothingElse) {
  doc_->AddMessage("A", 0, FALSE);
  doc_->SetCameraSlot(0, &camera_);
  struct Case {
    int resolution, width, height, bar;
  };
  for (const Case& c : {Case{0, 640, 480, 80}, Case{2, 800, 600, 100}, Case{1, 320, 240, 40}}) {
    SCOPED_TRACE(c.resolution);
    Use(c.resolution, true);
    NewFrame();
    Clear(7);
    doc_->DrawHud();
    for (int x : {0, c.width / 2, c.width - 1}) {
      EXPECT_EQ(Pixel(x, 0), 3);
      EXPECT_EQ(Pixel(x, c.bar - 1), 3);
      EXPECT_EQ(Pixel(x, c.bar), 7);
      EXPECT_EQ(Pixel(x, c.height - c.bar - 1), 7);
      EXPECT_EQ(Pixel(x, c.height - c.bar), 3);
      EXPECT_EQ(Pixel(x, c.height - 1), 3);
    }
    EXPECT_EQ(DirtyRects(), (std::vector<std::vector<int>>{{0, 0, c.width, c.bar},
                                                            {0, c.height - c.bar, c.width, c.height}}));
  }
  EXPECT_EQ(doc_->GetMessageRedraw(), 2);  // the log waits
}

TEST_F(HudPartsTest, TheMissionAccomplishedScreenShowsTheEnemyCountAndTheGameTime) {
  g_NextMissionArchive = "M2.CAN";
  g_pEnemyManager = new CEnemyAI;
  doc_->AddMissionTime(3725000 + 999);  // 1 hour, 2 minutes, 5 seconds
  doc_->SetGunHeat(0.5f);
  CBitmapFont& font = doc_->GetLargeFont();
  const int g = font.GetGlyphHeight();
  // Each text on a black box (3) of its own, which goes to the screen.
  const std::vector<int> title = Reference(font, "mission accomplished...", 100, 20, true, 3, 230, g);
  const std::vector<int> time = Reference(font, "game time 01:02:05  ", 10, 440, true, 3, 200, g);
  const std::vector<int> counts =
      Reference(font, "Total enemies =   0,  killed =   0  ", 240, 440, true, 3, 360, g);
  Clear(7);
  doc_->DrawHud();
  EXPECT_EQ(Region(100, 20, 230, g), title);
  EXPECT_EQ(Region(10, 440, 200, g), time);
  EXPECT_EQ(Region(240, 440, 360, g), counts);
  EXPECT_EQ(Pixel(99, 20), 7);
  EXPECT_EQ(Pixel(330, 20), 7);
  EXPECT_EQ(DirtyRects(),
            (std::vector<std::vector<int>>{{100, 20, 330, 20 + g}, {240, 440, 600, 440 + g}, {10, 440, 210, 440 + g}}));
  EXPECT_EQ(Pixel(446, 420), 7);  // no gauge
  EXPECT_EQ(Pixel(315, 5), 7);    // no message log
  // The bars of a running script camera stay, the texts over them.
  const std::vector<int> timeOnBar = Reference(font, "game time 01:02:05  ", 10, 440, true, 3, 200, g);
  doc_->SetCameraSlot(0, &camera_);
  Clear(7);
  doc_->DrawHud();
  EXPECT_EQ(Pixel(5, 5), 3);
  EXPECT_EQ(Pixel(5, 200), 7);
  EXPECT_EQ(Region(10, 440, 200, g), timeOnBar);
  delete g_pEnemyManager;
  g_pEnemyManager = nullptr;
}

TEST_F(HudPartsTest, TheCountdownShowsWholeSecondsInThreeDigits) {
  CBitmapFont& font = interface_->GetHudFont();
  font.SetGlyphWidth(8);
  font.Load("FONT_MD.BMP", "INTERFC.CAN");
  const int g = font.GetGlyphHeight();
  struct Case {
    int ms;
    const char* text;
  };
  for (const Case& c : {Case{59999, "059"}, Case{0, "000"}, Case{123456, "123"}}) {
    SCOPED_TRACE(c.ms);
    const std::vector<int> expected = Reference(font, c.text, 2, 2, false, 7, 24, g);
    doc_->SetCountdown(c.ms);
    NewFrame();
    Clear(7);
    doc_->DrawHud();
    EXPECT_EQ(Region(2, 2, 24, g), expected);
    const std::vector<std::vector<int>> rects = DirtyRects();
    EXPECT_NE(std::find(rects.begin(), rects.end(), std::vector<int>({1, 1, 43, 19})), rects.end());
  }
  doc_->SetCountdown(-1);
  Clear(7);
  doc_->DrawHud();
  EXPECT_EQ(Region(2, 2, 24, g), std::vector<int>(static_cast<size_t>(24 * g), 7));
}

// ---------------------------------------------------------------------------
// Scoreboard and chat line

TEST_F(HudPartsTest, ANetworkGameShowsTheScoreboardAndTheOpenChatLine) {
  std::vector<FakeSend> sends;
  DPADDRESS address{};
  ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends)));
  ASSERT_TRUE(doc_->CreatePlayerRecord("ACE", "AB"));
  doc_->AllocScoreSlot("BOB");
  struct Case {
    int resolution;
    bool cockpit;
    int x, y, lines, width;
  };
  const Case cases[] = {{0, true, 460, 382, 6, 12}, {0, false, 564, 408, 6, 12}, {2, false, 700, 512, 6, 16},
                        {1, false, 275, 198, 5, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.resolution);
    Use(c.resolution, c.cockpit);
    NewFrame();
    Clear(7);
    doc_->DrawHud();
    // " 0 ACE", " 0 BOB", then blank lines, each padded to the width.
    const std::string names[2] = {" 0 ACE", " 0 BOB"};
    for (int i = 0; i < c.lines; ++i) {
      std::string line = i < 2 ? names[i] : "";
      line.resize(static_cast<size_t>(c.width), ' ');
      ExpectText(line, c.x, c.y + 8 * i);
      EXPECT_EQ(Pixel(c.x + 6 * c.width, c.y + 8 * i), 7);
    }
    const std::vector<std::vector<int>> rects = DirtyRects();
    const std::vector<int> board = {c.x - 2, c.y + 8 * c.lines - 50, c.x + 2 + 6 * c.width, c.y + 8 * c.lines + 2};
    EXPECT_NE(std::find(rects.begin(), rects.end(), board), rects.end());
  }
  // The chat line: its text, then its rectangle, while it is open.
  Use(0, false);
  doc_->OnConsoleKey('H');
  doc_->OnConsoleKey('i');
  ASSERT_TRUE(doc_->IsConsoleOpen());
  CBitmapFont& font = MenuSmallFont();
  const int g = font.GetGlyphHeight(), gw = font.GetGlyphWidth();
  const std::vector<int> typed = Reference(font, "HI", 10, 468, false, 7, 2 * gw, g);
  NewFrame();
  Clear(7);
  doc_->DrawHud();
  EXPECT_EQ(Region(10, 468, 2 * gw, g), typed);
  const std::vector<std::vector<int>> rects = DirtyRects();
  EXPECT_NE(std::find(rects.begin(), rects.end(), std::vector<int>({9, 467, 11 + 50 * gw, 469 + g})), rects.end());
  doc_->CloseConsole();
  g_Net.Close();
}

// ---------------------------------------------------------------------------
// The whole HUD in each layout

TEST_F(HudPartsTest, TheWholeHudDrawsEachPartAtItsLayoutsPlace) {
  ASSERT_TRUE(doc_->CreateLocalPlayer());
  CDirectPlayer* ship = doc_->GetLocalPlayer();
  ship->SetShields(100);
  ship->SetHealth(40);
  auto* other = new CDirectPlayer("t", "TT", 0x777);
  doc_->AddPlayer(other);
  other->GetOrientation()[14] = 360;  // 360 ahead, level: the middle band's blue
  doc_->Tuning().shellCapacity = 100;
  doc_->SetAmmo(kAmmoShells, 42);
  doc_->SetOwnedWeapons(1, 1);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetGunHeat(0.5f);
  const int yellow = Nearest(223, 223, 0), green = Nearest(0, 223, 0), blue = NearestGameColour(palette_, 0, 0, 255);
  const int dotGreen = NearestGameColour(palette_, 0, 255, 0);
  struct Case {
    const char* name;
    int resolution;
    bool cockpit;
    int gauge[4];       // x, y, width, height
    int slots[3];       // first x, y, step
    int log[2];         // x, y; x < 0: no log
    int radar[3];       // x, y, size
    int ship[2];        // x, y; x < 0: no ship status
    int numbers[2];
  };
  const Case cases[] = {
      {"C", 0, true, {446, 382, 10, 68}, {69, 8, 20}, {315, 5}, {465, 378, 75}, {120, 405}, {95, 405}},
      {"P", 0, false, {520, 408, 10, 68}, {69, 2, 20}, {381, 2}, {534, 374, 105}, {35, 425}, {2, 430}},
      {"L", 2, true, {656, 512, 15, 80}, {200, 8, 20}, {534, 8}, {674, 474, 125}, {45, 545}, {5, 550}},
      {"S", 1, true, {267, 197, 5, 40}, {130, -24, 19}, {-1, -1}, {274, 194, 45}, {-1, -1}, {1, 222}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(c.resolution, c.cockpit);
    NewFrame();
    doc_->InvalidateHudPanels();
    // Five lines, then "A" and its continuation "C", which nothing dims.
    for (int i = 0; i < 5; ++i) doc_->AddMessage("filler", 0, FALSE);
    doc_->AddMessage("A", 0, FALSE);
    doc_->AddMessage("C", 200, TRUE);
    g_GameTime += 100;  // a radar rebuild
    Clear(7);
    doc_->DrawHud();
    SaveTarget(std::string("hud-") + c.name + ".png");

    // The gauge: yellow from half its height, green below 0.3.
    const int gx = c.gauge[0], gy = c.gauge[1], gw = c.gauge[2], gh = c.gauge[3];
    EXPECT_EQ(Pixel(gx, gy + gh / 2 + 1), yellow);
    EXPECT_EQ(Pixel(gx + gw - 1, gy + gh - 1), green);
    EXPECT_EQ(Pixel(gx, gy + gh / 2 - 2), 3);
    // The shells' slot (the sixth): its count and its green dot.
    const int sx = c.slots[0] + 5 * c.slots[2], sy = c.slots[1];
    ExpectText(" 42", sx, sy + 25);
    EXPECT_EQ(Pixel(sx + 2, sy + 34), dotGreen);
    // The log: "A" in the font's colours, "C" in colour 200.
    if (c.log[0] >= 0) {
      for (int row = 0; row < kGlyphHeight; ++row) {
        for (int column = 0; column < kGlyphWidth; ++column) {
          if (SheetPixel(33, column, row) == 109) continue;
          EXPECT_EQ(Pixel(c.log[0] + column, c.log[1] + 5 * kGlyphHeight + row), 20 + 33);
          EXPECT_EQ(Pixel(c.log[0] + column, c.log[1] + 6 * kGlyphHeight + row), 200);
        }
      }
    }
    // The radar: its dotted corner and the other ship's cross above the
    // centre, 360 / 700 of the half-size.
    const int rx = c.radar[0], ry = c.radar[1], half = c.radar[2] / 2;
    EXPECT_EQ(Pixel(rx, ry), NearestGameColour(palette_, 0, 130, 0));
    EXPECT_EQ(Pixel(rx + 1, ry), NearestGameColour(palette_, 0, 40, 0));
    const int up = 360 * half / 700;
    EXPECT_EQ(Pixel(rx + half, ry + half - up), blue);
    EXPECT_EQ(Pixel(rx + half + 1, ry + half - up), blue);
    // The ship status's black frame.
    if (c.ship[0] >= 0) {
      EXPECT_EQ(Pixel(c.ship[0] - 1, c.ship[1] - 1), 3);
    }
    // Shields and health.
    ExpectText("100", c.numbers[0], c.numbers[1]);
    ExpectText(" 40", c.numbers[0], c.numbers[1] + 9);
  }
}

}  // namespace
