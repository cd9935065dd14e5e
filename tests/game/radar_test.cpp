// The radar: its size, scale and turn with the ship's heading, the nine
// height bands, the image with its crosses and view lines, the 81-ms
// rebuild, the beacon's ring and where the image lands in each layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "engine/palette.h"
#include "engine/records.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/radar_geometry.h"
#include "tests/game/hud_fixture.h"

namespace {

// ---------------------------------------------------------------------------
// Geometry

TEST(RadarGeometry, TheSizeFollowsTheScreenHeightAndTheCockpit) {
  struct Case {
    int height;
    bool cockpit;
    int size;
  };
  const Case cases[] = {{240, false, 45}, {249, true, 45},  {250, true, 75},  {480, true, 75},
                        {480, false, 105}, {500, false, 105}, {501, true, 125}, {600, false, 125}};
  for (const Case& c : cases) EXPECT_EQ(RadarSizeFor(c.height, c.cockpit), c.size) << c.height << c.cockpit;
}

TEST(RadarGeometry, SevenHundredUnitsFillTheHalfSizeWithTheHeadingUp) {
  const float scale = RadarScale(37, 37);
  EXPECT_FLOAT_EQ(scale * 700.0f, 37.0f);
  EXPECT_FLOAT_EQ(RadarScale(62, 62) * 700.0f, 62.0f);
  const float r = 0.70710678f;
  struct Case {
    const char* what;
    float forwardX, forwardZ;  // the ship's heading
    float dx, dz;              // the target from the ship
    float x, y;                // on the radar, y upward
  };
  const Case cases[] = {
      {"ahead, heading +z", 0, 1, 0, 700, 0, 37},
      {"right, heading +z", 0, 1, 350, 0, 18.5f, 0},
      {"behind, heading +z", 0, 1, 0, -700, 0, -37},
      {"ahead, heading +x", 1, 0, 700, 0, 0, 37},
      {"right, heading +x", 1, 0, 0, -700, 37, 0},
      {"ahead, heading -z", 0, -1, 0, -700, 0, 37},
      {"ahead, heading 45 degrees", r, r, 700 * r, 700 * r, 0, 37},
      {"left, heading 45 degrees", r, r, -700 * r, 700 * r, -37, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RadarPoint p = RadarProject(c.dx, c.dz, RadarHeading(c.forwardX, c.forwardZ), scale);
    EXPECT_NEAR(p.x, c.x, 1e-3);
    EXPECT_NEAR(p.y, c.y, 1e-3);
  }
}

TEST(RadarGeometry, TheHeightDifferenceChoosesOneOfNineBands) {
  struct Case {
    float target, ship;
    int band;
  };
  const Case cases[] = {
      {0, 0, 5},        {500, 0, 8},      {600, 0, 9},      // 5.5 + 600 x 9 / 1400 = 9.36: not drawn
      {1500, 1000, 8},  {1000, 1000, 5},  {-1000, -1000, 5},  // the ship's own height counts with its sign
      {-700, 0, 1},     {-850, 0, 0},     {-1000, 0, 0},    // -0.93 truncates toward zero
      {-1100, 0, -1},   {300, 0, 7},      {1e9f, 0, 9},
  };
  for (const Case& c : cases) EXPECT_EQ(RadarHeightBand(c.target, c.ship), c.band) << c.target << " " << c.ship;
  // Each band's middle.
  for (int band = 0; band < kRadarHeightBands; ++band) {
    EXPECT_EQ(RadarHeightBand(static_cast<float>(band - 5) * 1400.0f / 9.0f, 0.0f), band);
  }
}

TEST(RadarGeometry, EachLayoutPlacesTheRadarInItsCorner) {
  struct Case {
    int layout, size, x, y;
  };
  const Case cases[] = {{0, 75, 465, 378}, {1, 105, 534, 374}, {2, 125, 674, 474}, {3, 45, 274, 194}};
  for (const Case& c : cases) {
    const RadarCorner at = RadarCornerFor(c.layout, c.size);
    EXPECT_EQ(std::vector<int>({at.x, at.y}), std::vector<int>({c.x, c.y})) << c.layout;
  }
}

// ---------------------------------------------------------------------------
// The image

class RadarTest : public HudDrawTest {
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
    interface_->SetResolution(0);
    interface_->SetCockpitShown(true);  // 640x480 with the cockpit: 75 x 75
    UseTarget(0);
    ASSERT_TRUE(doc_->CreateLocalPlayer());
    ship_ = doc_->GetLocalPlayer();
    Place(ship_, 1000, 200, -3000);
  }
  void TearDown() override {
    g_GameTime = savedTime_;
    HudDrawTest::TearDown();
  }
  static void Place(CDirectPlayer* player, float x, float y, float z) {
    float* m = player->GetOrientation();
    m[12] = x;
    m[13] = y;
    m[14] = z;
  }
  // A ship of another player where the radar sees it.
  CDirectPlayer* AddTarget(float x, float y, float z) {
    auto* player = new CDirectPlayer("t", "TT", nextId_++);
    doc_->AddPlayer(player);
    Place(player, x, y, z);
    return player;
  }
  int At(int column, int row) const {
    const int size = doc_->GetRadarSize();
    EXPECT_TRUE(column >= 0 && row >= 0 && column < size && row < size) << column << "," << row;
    return doc_->GetRadarImage()[row * size + column];
  }
  std::vector<uint8_t> Image() const {
    const uint8_t* image = doc_->GetRadarImage();
    return std::vector<uint8_t>(image, image + doc_->GetRadarSize() * doc_->GetRadarSize());
  }
  int Colour(int r, int g, int b) const { return NearestGameColour(palette_, r, g, b); }
  void Advance(int ms) { g_GameTime = GameTimeAdd(g_GameTime, ms); }

  CDirectPlayer* ship_ = nullptr;
  DPID nextId_ = 0x500;
  int32_t savedTime_ = 0;
};

TEST_F(RadarTest, TargetsAreCrossesAroundTheShipWithItsHeadingUpOverTheViewLines) {
  // The ship heads along +x: ahead is +x, its right is -z.
  float* m = ship_->GetOrientation();
  m[8] = 1;
  m[9] = 0;
  m[10] = 0;
  AddTarget(1000 + 350, 200, -3000);        // 350 ahead: 18 pixels up
  AddTarget(1000, 200 + 400, -3000 - 560);  // 560 right: 29 pixels right, 400 lower (band 8)
  AddTarget(1000 - 140, 200 - 700, -3000);  // 140 behind: 7 down, 700 higher (band 1)
  AddTarget(1000 + 700, 200, -3000);        // at the edge: not drawn
  AddTarget(1e30f, 200, -3000);             // far beyond any pixel: not drawn
  doc_->DrawRadar();
  ASSERT_EQ(doc_->GetRadarSize(), 75);
  const int h = 37, v = 37;
  const int background = Colour(0, 40, 0), lines = Colour(0, 130, 0);
  const int level = Colour(0, 0, 255), lower = Colour(0, 0, 63), higher = Colour(127, 127, 0);
  struct Cross {
    int column, row, colour;
  };
  const Cross crosses[] = {{h, v - 18, level}, {h + 29, v, lower}, {h, v + 7, higher}};
  for (const Cross& c : crosses) {
    SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
    EXPECT_EQ(At(c.column, c.row), c.colour);
    EXPECT_EQ(At(c.column - 1, c.row), c.colour);
    EXPECT_EQ(At(c.column + 1, c.row), c.colour);
    EXPECT_EQ(At(c.column, c.row - 1), c.colour);
    EXPECT_EQ(At(c.column, c.row + 1), c.colour);
    EXPECT_EQ(At(c.column + 1, c.row + 1), background);
  }
  // The edge target (37 up) is left out; so is every other pixel of colour.
  int coloured = 0;
  for (int row = 0; row < 75; ++row) {
    for (int column = 0; column < 75; ++column) {
      const int p = At(column, row);
      if (p == level || p == lower || p == higher) ++coloured;
    }
  }
  EXPECT_EQ(coloured, 15);
  // The dotted view lines: the diagonals from the top corners and the line
  // down from the centre, every second pixel.
  EXPECT_EQ(At(0, 0), lines);
  EXPECT_EQ(At(1, 1), background);
  EXPECT_EQ(At(2, 2), lines);
  EXPECT_EQ(At(74, 0), lines);
  EXPECT_EQ(At(72, 2), lines);
  EXPECT_EQ(At(37, 74), lines);
  EXPECT_EQ(At(37, 73), background);
  EXPECT_EQ(At(37, 72), lines);
  EXPECT_EQ(At(10, 40), background);
}

TEST_F(RadarTest, EachOfTheNineBandsHasItsColourAndOthersAreLeftOut) {
  // Level with a ship 200 below zero: the band comes from the difference.
  const int colours[9][3] = {{63, 63, 0},   {127, 127, 0}, {191, 191, 0}, {255, 255, 0}, {255, 255, 255},
                             {0, 0, 255},   {0, 0, 191},   {0, 0, 127},   {0, 0, 63}};
  for (int band = 0; band < 9; ++band) {
    // In a row across the radar, 80 units apart (4 pixels), 100 ahead.
    AddTarget(1000 + 80.0f * (band - 4), 200 + (band - 5) * 1400.0f / 9.0f, -3000 + 100);
  }
  AddTarget(1000, 200 + 600, -3000 - 300);   // band 9: not drawn
  AddTarget(1000, 200 - 1200, -3000 - 300);  // below band 0: not drawn
  doc_->DrawRadar();
  const int h = 37, v = 37;
  for (int band = 0; band < 9; ++band) {
    SCOPED_TRACE(band);
    EXPECT_EQ(At(h + 4 * (band - 4), v - 5), Colour(colours[band][0], colours[band][1], colours[band][2]));
  }
  EXPECT_EQ(At(h + 1, v + 15), Colour(0, 40, 0));  // where their crosses would reach
}

TEST_F(RadarTest, TheImageIsRebuiltOnlyAfterEightyOneMillisecondsOfGameTime) {
  CDirectPlayer* target = AddTarget(1000, 200, -3000 + 350);
  doc_->DrawRadar();
  const std::vector<uint8_t> first = Image();
  Place(target, 1000, 200, -3000 - 350);
  // The game paused: no game time passes, the image stays.
  for (int frame = 0; frame < 5; ++frame) doc_->DrawRadar();
  EXPECT_EQ(Image(), first);
  Advance(80);
  doc_->DrawRadar();
  EXPECT_EQ(Image(), first);
  Advance(1);
  doc_->DrawRadar();
  EXPECT_NE(Image(), first);
  EXPECT_EQ(At(37, 37 + 18), Colour(0, 0, 255));
  // The copy in the frame follows the image every frame.
  EXPECT_EQ(Pixel(465 + 37, 378 + 37 + 18), Colour(0, 0, 255));
}

TEST_F(RadarTest, TheBeaconRingGrowsSixteenPixelsASecondAndStartsAgain) {
  PolygonGroup group{};
  group.visible = 1;
  group.worldCentre = {1000, 200, -3000 + 140};  // 7 pixels ahead, level: band 5
  doc_->SetBeaconGroup(&group);
  doc_->DrawRadar();
  ASSERT_TRUE(doc_->IsBeaconActive());
  const float start = doc_->GetBeaconRingRadius();
  Advance(81);
  doc_->DrawRadar();
  EXPECT_NEAR(doc_->GetBeaconRingRadius() - start, 16 * 0.081f, 1e-3);
  Advance(500);
  doc_->DrawRadar();
  EXPECT_NEAR(doc_->GetBeaconRingRadius() - start, 16 * 0.581f, 1e-3);
  // The ring: pixels of the beacon's colour at its radius round (37, 30).
  const float radius = doc_->GetBeaconRingRadius();
  const int blue = Colour(0, 0, 255);
  int onRing = 0, offRing = 0;
  for (int row = 0; row < 75; ++row) {
    for (int column = 0; column < 75; ++column) {
      if (At(column, row) != blue) continue;
      const float d = std::hypot(static_cast<float>(column) - 37.0f, static_cast<float>(row) - 30.0f);
      (std::fabs(d - radius) < 2.0f ? onRing : offRing) += 1;
    }
  }
  EXPECT_GT(onRing, 40);
  EXPECT_EQ(offRing, 0);
  // Past every corner it starts again at 2.
  for (int i = 0; i < 40 && doc_->GetBeaconRingRadius() > 2.0f; ++i) {
    Advance(500);
    doc_->DrawRadar();
  }
  EXPECT_FLOAT_EQ(doc_->GetBeaconRingRadius(), 2.0f);
  // A hidden beacon group ends the beacon, and the group is let go.
  Advance(500);
  doc_->DrawRadar();
  EXPECT_GT(doc_->GetBeaconRingRadius(), 2.0f);
  group.visible = 0;
  Advance(81);
  doc_->DrawRadar();
  EXPECT_FALSE(doc_->IsBeaconActive());
  EXPECT_EQ(doc_->GetBeaconGroup(), nullptr);
  EXPECT_FLOAT_EQ(doc_->GetBeaconRingRadius(), 2.0f);
}

TEST_F(RadarTest, AFarBeaconsRingStartsAtTheNearestCornerAndComesBackThere) {
  struct Case {
    const char* what;
    float dx, dz;  // the beacon from the ship (heading +z)
    float corner;    // the distance from its radar point to the nearest corner
    int firstDrawn;  // the rebuild that draws it first, at the latest
  };
  // 2000 ahead: (0, 105.71), nearest corners (+-37, 37). Off a corner at
  // (150, 100): the part of the ring toward the centre reaches the radar
  // about 11 pixels later than its corner (the ring is drawn all the same).
  const float ahead = 2000.0f * 37.0f / 700.0f;
  const Case cases[] = {
      {"ahead", 0, 2000, std::hypot(37.0f, ahead - 37.0f), 0},
      {"off a corner", 150 * 700.0f / 37.0f, 100 * 700.0f / 37.0f, std::hypot(150.0f - 37.0f, 100.0f - 37.0f), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PolygonGroup group{};
    group.visible = 1;
    group.worldCentre = {1000 + c.dx, 200, -3000 + c.dz};
    doc_->SetBeaconGroup(&group);
    Advance(81);
    doc_->DrawRadar();
    EXPECT_NEAR(doc_->GetBeaconRingRadius(), c.corner, 1e-2);
    // From there the ring crosses the radar, drawn at once (ahead) or
    // within two rebuilds (the corner pixels themselves are never plotted),
    // until it has swept past; then it is back at the corner.
    const int blue = Colour(0, 0, 255);
    int drawn = 0, rebuilds = 0, firstDrawn = -1;
    float last = doc_->GetBeaconRingRadius();
    for (; rebuilds < 200; ++rebuilds) {
      Advance(81);
      doc_->DrawRadar();
      if (doc_->GetBeaconRingRadius() < last) break;
      EXPECT_NEAR(doc_->GetBeaconRingRadius() - last, 16 * 0.081f, 1e-3);
      const std::vector<uint8_t> image = Image();
      if (std::find(image.begin(), image.end(), blue) != image.end()) {
        ++drawn;
        if (firstDrawn < 0) firstDrawn = rebuilds;
      }
      last = doc_->GetBeaconRingRadius();
    }
    EXPECT_LT(rebuilds, 200);
    EXPECT_GE(firstDrawn, 0);
    EXPECT_LE(firstDrawn, c.firstDrawn);
    EXPECT_GT(drawn, 30);
    EXPECT_NEAR(doc_->GetBeaconRingRadius(), c.corner, 1e-2);
    doc_->SetBeaconGroup(nullptr);
  }
}

TEST_F(RadarTest, ABeaconOnTheShipGrowsItsRingFromTheCentre) {
  // No direction toward the centre: the ring is still a ring, not a dot.
  PolygonGroup group{};
  group.visible = 1;
  group.worldCentre = {1000, 200, -3000};
  doc_->SetBeaconGroup(&group);
  doc_->DrawRadar();
  for (int i = 0; i < 8; ++i) {
    Advance(250);
    doc_->DrawRadar();
  }
  const float radius = doc_->GetBeaconRingRadius();
  ASSERT_GT(radius, 10.0f);
  int onRing = 0;
  for (int row = 0; row < 75; ++row) {
    for (int column = 0; column < 75; ++column) {
      const float d = std::hypot(static_cast<float>(column) - 37.0f, static_cast<float>(row) - 37.0f);
      if (At(column, row) == Colour(0, 0, 255) && std::fabs(d - radius) < 2.0f) ++onRing;
    }
  }
  EXPECT_GT(onRing, 40);
  EXPECT_NE(At(37, 37), Colour(0, 0, 255));
}

TEST_F(RadarTest, TheImageLandsInEachLayoutsCornerOrNowhere) {
  struct Case {
    int resolution;
    bool cockpit;
    int size, x, y;  // size 0: not copied
  };
  const Case cases[] = {{0, true, 75, 465, 378},  {0, false, 105, 534, 374}, {2, true, 125, 674, 474},
                        {2, false, 0, 674, 474},   {1, true, 45, 274, 194},   {1, false, 0, 274, 194}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.resolution) + (c.cockpit ? " cockpit" : ""));
    delete view_;
    view_ = new CNetView;  // (a view's end takes the cockpit away)
    interface_->SetResolution(c.resolution);
    interface_->SetCockpitShown(c.cockpit);
    UseTarget(c.resolution);
    Clear(7);
    Advance(100);
    doc_->DrawRadar();
    const int background = Colour(0, 40, 0), lines = Colour(0, 130, 0);
    if (c.size == 0) {
      EXPECT_EQ(Pixel(c.x + 5, c.y + 5), 7);
      EXPECT_EQ(view_->GetDirtyRectCount(), 0);
      continue;
    }
    EXPECT_EQ(doc_->GetRadarSize(), c.size);
    EXPECT_EQ(Pixel(c.x, c.y), lines);
    EXPECT_EQ(Pixel(c.x + 1, c.y), background);
    EXPECT_EQ(Pixel(c.x + c.size - 1, c.y + c.size - 2), background);
    EXPECT_EQ(Pixel(c.x - 1, c.y), 7);
    EXPECT_EQ(Pixel(c.x, c.y - 1), 7);
    if (c.x + c.size < target_.width) {
      EXPECT_EQ(Pixel(c.x + c.size, c.y + 1), 7);
    }
    EXPECT_EQ(DirtyRects(), (std::vector<std::vector<int>>{{c.x, c.y, c.x + c.size, c.y + c.size}}));
  }
  // Switched off: nothing.
  doc_->ToggleRadar();
  Clear(7);
  doc_->DrawRadar();
  EXPECT_EQ(Pixel(274 + 5, 194 + 5), 7);
}

}  // namespace
