// The satellite strikes: the timing file's delays, the orders that start
// and stop them, and the cycle of aiming (following the target), warning,
// striking the point fixed at the warning with five pulses, and resting.
#include <string>
#include <vector>

#include "tests/game/enemy_combat_fixture.h"
#include "tools/builder/demo_satellite.h"
#include "world/enemies/satellite.h"

namespace {

std::vector<Vec3>& Pulses() {
  static std::vector<Vec3> pulses;
  return pulses;
}

int MessagesReading(CNetDoc* doc, const char* text) {
  int n = 0;
  for (int line = 0; line < CNetDoc::kMessageLines; ++line) n += doc->GetMessageText(line).Str() == text ? 1 : 0;
  return n;
}

TEST(SatelliteTimingTest, TheLastLineWithTwoNumbersWinsAndNothingElseCounts) {
  const std::string longLine = std::string(300, ' ') + "700 8000";
  const struct {
    std::string text;
    bool found;
    int aiming, strike;
  } cases[] = {
      {";fast\n500 4000\n", true, 500, 4000},
      {"500 4000", true, 500, 4000},  // the last line needs no line end
      {"500 4000\r\n;600 5000\r\n", true, 500, 4000},
      {"500 4000\n600 5000\n", true, 600, 5000},
      {"500\n", false, 0, 0},        // one number: refused
      {"fast slow\n", false, 0, 0},  // no numbers
      {"500 4000\nx 1\n", true, 500, 4000},
      {longLine + "\n", true, 700, 8000},  // a long line is read whole
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int aiming = 0, strike = 0;
    EXPECT_EQ(ParseSatelliteTiming(c.text, &aiming, &strike), c.found);
    EXPECT_EQ(aiming, c.aiming);
    EXPECT_EQ(strike, c.strike);
  }
}

class SatelliteTest : public EnemyCombatTest {
 protected:
  void SetUp() override {
    EnemyCombatTest::SetUp();
    Pulses().clear();
    g_SatellitePulseObserver = [](float x, float y, float z) { Pulses().push_back({x, y, z}); };
  }
  void TearDown() override {
    g_SatellitePulseObserver = nullptr;
    EnemyCombatTest::TearDown();
  }
};

TEST_F(SatelliteTest, ItAimsWarnsStrikesAndRestsWithTheFilesDelays) {
  folder_.WriteFile("vscript/sattelit.ini", {';', 'x', '\n', '5', '0', '0', ' ', '4', '0', '0', '0'});
  Start();
  ASSERT_NE(g_pSatellite, nullptr);
  EXPECT_EQ(g_pSatellite->GetAimingBaseDelay(), 500);
  EXPECT_EQ(g_pSatellite->GetStrikeBaseDelay(), 4000);
  CSattelite& sat = *g_pSatellite;
  EXPECT_EQ(g_pEnemyManager->ExecuteOrder("start satellite", "test"), TRUE);
  EXPECT_EQ(g_pEnemyManager->ExecuteOrder("START Satellite", "test"), TRUE);
  EXPECT_EQ(MessagesReading(doc_, "Sattelite Targeting..."), 1);
  EXPECT_TRUE(sat.IsActive());
  EXPECT_EQ(sat.GetLastStepTime(), 0);
  // The clock starts at the first update; 7000 ms later it aims.
  sat.Update(1, 2, 3, g_GameTime);
  EXPECT_EQ(sat.GetState(), 0);
  Advance(7000);
  sat.Update(1, 2, 3, g_GameTime);
  EXPECT_EQ(sat.GetState(), 0);
  Advance(1);
  sat.Update(10, 20, 30, g_GameTime);
  EXPECT_EQ(sat.GetState(), 1);
  EXPECT_GE(sat.GetDelay(), 500);
  EXPECT_LT(sat.GetDelay(), 20500);
  // While aiming the target follows.
  const int aim = sat.GetDelay();
  Advance(aim);
  sat.Update(40, 50, 60, g_GameTime);
  EXPECT_EQ(sat.GetState(), 1);
  EXPECT_FLOAT_EQ(sat.GetTarget().x, 40.0f);
  Advance(1);
  sat.Update(70, 80, 90, g_GameTime);
  EXPECT_EQ(sat.GetState(), 2);
  EXPECT_EQ(MessagesReading(doc_, "Satellite Targeting..."), 1);
  EXPECT_EQ(sat.GetDelay(), 2000);
  // From the warning on the point stays.
  Advance(2001);
  sat.Update(500, 500, 500, g_GameTime);
  EXPECT_EQ(sat.GetState(), 3);
  ASSERT_EQ(Pulses().size(), 5u);
  const float expected[5][2] = {{40, 60}, {-10, 10}, {-10, 110}, {90, 10}, {90, 110}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(Pulses()[i].x, expected[i][0]);
    EXPECT_FLOAT_EQ(Pulses()[i].y, 50.0f);
    EXPECT_FLOAT_EQ(Pulses()[i].z, expected[i][1]);
  }
  EXPECT_GE(sat.GetDelay(), 4000);
  EXPECT_LT(sat.GetDelay(), 9000);
  Advance(sat.GetDelay() + 1);
  sat.Update(0, 0, 0, g_GameTime);
  EXPECT_EQ(sat.GetState(), 4);
  EXPECT_EQ(sat.GetDelay(), 7000);
  Advance(7001);
  sat.Update(0, 0, 0, g_GameTime);
  EXPECT_EQ(sat.GetState(), 1);
  // Stopped: nothing moves on.
  EXPECT_EQ(g_pEnemyManager->ExecuteOrder("stop satellite", "test"), TRUE);
  EXPECT_EQ(g_pEnemyManager->ExecuteOrder("hide satellite", "test"), TRUE);
  Advance(100000);
  sat.Update(0, 0, 0, g_GameTime);
  EXPECT_EQ(sat.GetState(), 1);
  EXPECT_FALSE(sat.IsActive());
}

TEST_F(SatelliteTest, AFileWhoseOnlyLineHasNoEndStillSetsTheDelaysAndAMissingOneLeavesTheDefaults) {
  folder_.WriteFile("vscript/sattelit.ini", {'9', '0', '0', ' ', '9', '0', '0', '0'});
  Start();
  EXPECT_EQ(g_pSatellite->GetAimingBaseDelay(), 900);
  EXPECT_EQ(g_pSatellite->GetStrikeBaseDelay(), 9000);
  DeleteDocument();
  folder_.WriteFile("vscript/sattelit.ini", {'o', 'n', 'e', '\n'});
  Start();
  EXPECT_EQ(g_pSatellite->GetAimingBaseDelay(), 2000);
  EXPECT_EQ(g_pSatellite->GetStrikeBaseDelay(), 25000);
}

TEST_F(SatelliteTest, TheManagerAimsItAtTheLocalPlayer) {
  Start({"ship.3ds"});
  // An enemy decided last with a target of its own does not steer it.
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  ship->SetTargetPoint(0, 0, 100);  // within its detection range
  ASSERT_EQ(g_pEnemyManager->ExecuteOrder("start satellite", "test"), TRUE);
  for (int i = 0; i < 400 && g_pSatellite->GetState() != 2; ++i) {
    Advance(100);
    g_pEnemyManager->Update();
  }
  ASSERT_EQ(g_pSatellite->GetState(), 2);
  const Vec3 p = PlayerPosition();
  EXPECT_FLOAT_EQ(g_pSatellite->GetTarget().x, p.x);
  EXPECT_FLOAT_EQ(g_pSatellite->GetTarget().z, p.z);
}

}  // namespace

namespace {

TEST_F(SatelliteTest, TheDemoSetsTimingFileGivesItsDelays) {
  std::string error;
  ASSERT_TRUE(WriteDemoSatelliteTiming(folder_.Join(""), &error)) << error;
  Start();
  EXPECT_EQ(g_pSatellite->GetAimingBaseDelay(), kDemoSatelliteAimingMs);
  EXPECT_EQ(g_pSatellite->GetStrikeBaseDelay(), kDemoSatelliteStrikeMs);
}

}  // namespace
