// The player's ship in the started demo mission: flight by the keys, walls,
// flow lines, the same flight at two frame rates, damage of every entry with
// worked numbers, death, the wreck's countdowns and the respawn.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "engine/matrix.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/joystick.h"
#include "game/key_bindings.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "game/ship_controls.h"
#include "game/ship_sounds.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_input.h"
#include "platform/keys.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "tools/builder/demo_level.h"

namespace {

std::vector<std::pair<int, int>> g_Sounds;
void RecordSound(int sound, int volume) { g_Sounds.emplace_back(sound, volume); }

class ShipTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    input_ = HeadlessBackendInstall();
    MakeInterface(2);
    interface_->SetWindowFocus(true);
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    ship_ = doc_->GetLocalPlayer();
    ASSERT_NE(ship_, nullptr);
    // Without an application no settings are read: the default keys.
    for (int row = 0; row < kKeyActionCount; ++row) {
      const KeyAction& action = KeyActionOfRow(row);
      for (int slot = 0; slot < 2; ++slot) doc_->SetKeyBinding(action.tableIndex, slot, action.defaults[slot]);
    }
    // ... and the default mouse sensitivities (0 would turn by nothing).
    doc_->SetMouseSensitivityX(0.5f);
    doc_->SetMouseSensitivityY(0.5f);
    g_Sounds.clear();
    g_ShipSoundObserver = RecordSound;
  }
  void TearDown() override {
    g_ShipSoundObserver = nullptr;
    DocumentTest::TearDown();
    // Forget any joystick the test plugged in.
    HeadlessBackendInstall();
    InitJoystick();
  }

  // The ship at rest at a point, level and heading +z.
  void Place(float x, float y, float z) {
    PlayerStateBlock& state = ship_->State();
    MatrixSetIdentity(state.matrix);
    state.matrix[12] = x, state.matrix[13] = y, state.matrix[14] = z;
    for (int i = 0; i < 3; ++i) state.velocity[i] = state.angularVelocity[i] = 0.0f;
  }
  void Key(int code, bool down) {
    InputEvent event{down ? InputEventType::KeyDown : InputEventType::KeyUp};
    event.scanCode = code;
    input_->Inject(event);
    InputEvent taken;
    while (input_->PollEvent(&taken)) {
    }
  }
  // Frames of the given lengths: the game clock moves on, then the players'
  // and the camera's step runs.
  void Frame(int ms) {
    ClockSetTime(timeGetTime() + static_cast<uint32_t>(ms));
    g_GameTime = GameTimeAdd(g_GameTime, ms);
    doc_->UpdatePlayers();
  }
  // One frame that only starts the ship's step clock (its first step is a
  // fixed 5 ms, with nothing to move).
  void Prime() { Frame(20); }

  HeadlessInput* input_ = nullptr;
  CDirectPlayer* ship_ = nullptr;
};

TEST_F(ShipTest, OneSecondOfThrustCoversTheDistanceOfTheFlightConstants) {
  Prime();
  Place(0, 40, -280);
  Key(DIK_A, true);  // accelerate
  for (int i = 0; i < 50; ++i) Frame(20);
  // Frames of 20 ms are one step of h = 0.02 s each: the speed grows by
  // 200 x 0.02 = 4 a step up to the limit of 135 (step 34 on), and the ship
  // moves h x speed a step: 0.02 x (4 x (1 + ... + 33) + 135 x 17).
  const float expected = 0.02f * (4.0f * 33 * 34 / 2 + 135.0f * 17);  // 90.78
  EXPECT_NEAR(ship_->GetZ() - (-280.0f), expected, 0.01f);
  EXPECT_NEAR(ship_->GetX(), 0.0f, 1e-4f);
  EXPECT_NEAR(ship_->GetY(), 40.0f, 1e-4f);
  EXPECT_NEAR(ship_->GetSpeed(), 135.0f, 1e-3f);
  // Without thrust the ship slows and never exceeds 108.
  Key(DIK_A, false);
  interface_->ClearKeys();
  Frame(20);
  EXPECT_LE(ship_->GetSpeed(), 108.0f);
  EXPECT_NEAR(ship_->GetSpeed(), 108.0f, 1e-3f);  // 135 x 0.89 = 120.15, capped
  Frame(20);
  EXPECT_NEAR(ship_->GetSpeed(), 108.0f * (0.9f - 0.8f * 0.0125f), 1e-3f);
}

TEST_F(ShipTest, AWallStopsTheShipAtItsRadius) {
  // Backwards into the hangar's back wall at z = -400.
  Prime();
  Place(0, 40, -280);
  Key(DIK_Z, true);
  const float stop = -400.0f + ship_->GetRadius();
  float nearest = 0.0f;
  for (int i = 0; i < 150; ++i) {
    Frame(20);
    nearest = std::min(nearest, ship_->GetZ());
  }
  EXPECT_GE(nearest, stop - 0.01f);
  EXPECT_NEAR(ship_->GetZ(), stop, 1.0f);
}

TEST_F(ShipTest, TheHangarsFlowLinePushesTheShipAlongIt) {
  ASSERT_EQ(doc_->GetFlowLines().size(), 1u);
  Prime();
  Place(kDemoFlowFrom.x, kDemoFlowFrom.y, -200.0f);
  for (int i = 0; i < 50; ++i) Frame(20);
  // 60 units a second along +z for one second; nothing else moves it.
  EXPECT_NEAR(ship_->GetZ(), -200.0f + 60.0f, 0.01f);
  EXPECT_NEAR(ship_->GetX(), kDemoFlowFrom.x, 1e-3f);
  EXPECT_NEAR(ship_->GetSpeed(), 0.0f, 1e-6f);
}

TEST_F(ShipTest, TheSameFlightAt20And60FramesASecondEndsInTheSamePlace) {
  // Two seconds of thrust while turning left, then one of coasting.
  auto fly = [&](const std::vector<int>& frames) {
    Prime();
    Place(0, 0, -250);
    Key(DIK_A, true);
    Key(DIK_LEFT, true);
    int elapsed = 0;
    for (int ms : frames) {
      if (elapsed >= 2000 && elapsed - ms < 2000) {
        Key(DIK_A, false);
        Key(DIK_LEFT, false);
        interface_->ClearKeys();
      }
      Frame(ms);
      elapsed += ms;
    }
    return std::vector<float>{ship_->GetX(), ship_->GetY(), ship_->GetZ()};
  };
  std::vector<int> at20(60, 50);
  std::vector<int> at60;
  for (int i = 0; i < 60; ++i) {
    at60.push_back(17);
    at60.push_back(17);
    at60.push_back(16);
  }
  const std::vector<float> a = fly(at20);
  const std::vector<float> b = fly(at60);
  // The ship has turned (about 27 units round) and moved; the two runs
  // agree within 2 units (their steps are 16.7 and 16-17 ms).
  EXPECT_GT(std::hypot(a[0], a[2] + 250.0f), 40.0f);
  EXPECT_LT(a[0], -10.0f);  // turning left: toward -x
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], 2.0f) << "axis " << i;
}

TEST_F(ShipTest, DamageDrainsTheShieldsFirstThenTheHealth) {
  struct Case {
    const char* entry;
    float shields, amount;
    float shieldsAfter, healthAfter;
    int sound;
  } cases[] = {
      {"TakeDamageFrom", 10, 25, 0, 25, kSoundArmourDamage},
      {"TakeDamageFrom", 100, 25, 75, 40, kSoundShieldDamage},
      {"TakeHit", 10, 25, 0, 25, kSoundRadiation},
      {"TakeZoneDamage", 10, 25, 0, 25, kSoundLava},
      {"TakeDamage", 10, 25, 0, 25, kSoundElectric},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    ship_->SetHealth(40);
    ship_->SetShields(c.shields);
    g_Sounds.clear();
    const std::string entry = c.entry;
    if (entry == "TakeDamageFrom") ship_->TakeDamageFrom(c.amount, nullptr);
    if (entry == "TakeHit") ship_->TakeHit(c.amount);
    if (entry == "TakeZoneDamage") ship_->TakeZoneDamage(c.amount);
    if (entry == "TakeDamage") ship_->TakeDamage(c.amount, nullptr);
    EXPECT_FLOAT_EQ(ship_->GetShields(), c.shieldsAfter);
    EXPECT_FLOAT_EQ(ship_->GetHealth(), c.healthAfter);
    ASSERT_FALSE(g_Sounds.empty());
    EXPECT_EQ(g_Sounds[0].first, c.sound);
    EXPECT_FALSE(ship_->IsDead());
  }
  // Electric damage also shakes the view by 10 a point and is remembered.
  EXPECT_EQ(doc_->GetShakeLevel(), 250);
  EXPECT_TRUE(doc_->IsElectricDamage());
}

TEST_F(ShipTest, DamageSoundsAreQuieterForSmallHitsAndSilentForOne) {
  ship_->TakeDamageFrom(1.0f, nullptr);
  EXPECT_TRUE(g_Sounds.empty());
  ship_->TakeDamageFrom(2.0f, nullptr);
  // Single play: (2 / ((160 + 40) x 0.2) - 1) x 800 = -760.
  ASSERT_EQ(g_Sounds.size(), 1u);
  EXPECT_EQ(g_Sounds[0], std::make_pair(static_cast<int>(kSoundShieldDamage), -760));
}

TEST_F(ShipTest, GodModeBlocksDamageButElectricDamageStillShowsItself) {
  ship_->ToggleGodMode();
  ASSERT_TRUE(ship_->IsGodMode());
  g_Sounds.clear();
  ship_->TakeDamageFrom(50, nullptr);
  ship_->TakeHit(50);
  ship_->TakeZoneDamage(50);
  ship_->ExplosionDamage(ship_->GetX(), ship_->GetY(), ship_->GetZ(), 100, 100, nullptr);
  EXPECT_FLOAT_EQ(ship_->GetShields(), kShipMaxShieldsSingle);
  ship_->TakeDamage(10, nullptr);
  EXPECT_FLOAT_EQ(ship_->GetShields(), kShipMaxShieldsSingle);
  EXPECT_FLOAT_EQ(ship_->GetHealth(), kShipMaxHealth);
  ASSERT_EQ(g_Sounds.size(), 1u);
  EXPECT_EQ(g_Sounds[0].first, kSoundElectric);
  EXPECT_GE(doc_->GetShakeLevel(), 100);
}

TEST_F(ShipTest, HealthBelowOneIsDeath) {
  for (const float health : {0.9f, 1.0f}) {
    ship_->Respawn();
    ship_->SetShields(0);
    ship_->SetHealth(health + 5.0f);
    ship_->TakeDamageFrom(5.0f, nullptr);
    EXPECT_EQ(ship_->IsDead(), health < 1.0f) << health;
  }
  EXPECT_FLOAT_EQ(ship_->GetHealth(), 1.0f);
}

TEST_F(ShipTest, AnExplosionDamagesByItsWholeDepthButPushesAtMost270) {
  Place(0, 0, 0);
  const float r = ship_->GetRadius();
  // Centre 10 units beyond the ship's sphere, blast radius 300: depth 290,
  // damage 1 x 0.1 x 290 = 29; the push would be 200^2 x 1.5, limited to
  // 270, straight away from the blast.
  ship_->ExplosionDamage(-(r + 10.0f), 0, 0, 300, 1, nullptr);
  EXPECT_NEAR(ship_->GetShields(), kShipMaxShieldsSingle - 29.0f, 1e-3f);
  EXPECT_NEAR(ship_->GetState().velocity[0], 270.0f, 1e-3f);
  EXPECT_NEAR(ship_->GetState().velocity[1], 0.0f, 1e-6f);
  // A small blast: depth 4, push 4^2 x 1.5 = 24, damage 10 x 0.1 x 4 = 4.
  Place(0, 0, 0);
  ship_->SetShields(100);
  ship_->ExplosionDamage(0, 0, r + 6.0f, 10, 10, nullptr);
  EXPECT_NEAR(ship_->GetShields(), 96.0f, 1e-3f);
  EXPECT_NEAR(ship_->GetState().velocity[2], -24.0f, 1e-3f);
  // Just touching the sphere: nothing.
  Place(0, 0, 0);
  ship_->ExplosionDamage(0, 0, r + 10.0f, 10.0005f, 10, nullptr);
  EXPECT_FLOAT_EQ(ship_->GetShields(), 96.0f);
}

TEST_F(ShipTest, TheWreckExplodesAfterOneSecondOrTenAfterALongDeath) {
  doc_->SetShipCollision(false);  // a falling wreck would hit the floor first
  struct Case {
    float health;
    int countdown;
  } cases[] = {{-100000.0f, 1000}, {-2.0f, 10000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.countdown);
    ship_->Respawn();
    Place(0, 0, 0);
    Prime();
    CrtSrand(1);
    ship_->SetShields(0);
    ship_->SetHealth(c.health);
    ship_->CheckDeath();
    ASSERT_TRUE(ship_->IsDead());
    EXPECT_EQ(ship_->GetCountdown(), c.countdown);
    EXPECT_EQ(ship_->IsLongDeath(), c.countdown == 10000);
    EXPECT_TRUE(doc_->IsExternalView());  // the chase camera shows the wreck
    int elapsed = 0;
    while (!ship_->IsExploded() && elapsed < 20000) {
      Frame(20);
      elapsed += 20;
    }
    // The countdown runs below 0 in the frame after it reaches 0.
    EXPECT_EQ(elapsed, c.countdown + 20);
    EXPECT_EQ(ship_->GetState().flags & kPlayerStateShown, 0u);
    if (c.countdown == 10000) EXPECT_GT(ship_->GetY(), 1000.0f);  // it fell
  }
  // The failed mission is queued a second after the death.
  EXPECT_FALSE(events_ == nullptr);
}

TEST_F(ShipTest, ARespawnInSinglePlayKeepsThePlacementAndRestoresTheShip) {
  Place(100, 20, -100);
  ship_->SetShields(0);
  ship_->TakeDamageFrom(100, nullptr);
  ASSERT_TRUE(ship_->IsDead());
  ship_->Respawn();
  EXPECT_FALSE(ship_->IsDead());
  EXPECT_FLOAT_EQ(ship_->GetHealth(), kShipMaxHealth);
  EXPECT_FLOAT_EQ(ship_->GetShields(), kShipMaxShieldsSingle);
  EXPECT_NE(ship_->GetState().flags & kPlayerStateShown, 0u);
  const float step = ship_->GetRadius() * 0.2f + 1e-3f;
  EXPECT_NEAR(ship_->GetX(), 100.0f, step);
  EXPECT_NEAR(ship_->GetY(), 20.0f, step);
  EXPECT_NEAR(ship_->GetZ(), -100.0f, step);
}

TEST_F(ShipTest, TheLavaBurnsAShipThatTouchesIt) {
  const float r = ship_->GetRadius();
  // Sunk a tenth of its radius into the lava floor (y = 100, facing up).
  Place(600, 100 - r * 0.9f, 1180);
  ship_->SetShields(100);
  Frame(20);
  // Pushed out by 0.1 r: weight 0.1 x 30 = 3, damage 2 x 3 = 6.
  EXPECT_NEAR(ship_->GetShields(), 94.0f, 0.01f);
}

TEST_F(ShipTest, TheChaseCameraSitsBehindAndAboveTheShipAndKeepsOutOfWalls) {
  const float r = ship_->GetRadius();
  doc_->ToggleChaseCamera();
  const Vec3 offset = doc_->GetChaseOffset();
  EXPECT_FLOAT_EQ(offset.x, 0.0f);
  EXPECT_FLOAT_EQ(offset.y, -0.85f * r);
  EXPECT_FLOAT_EQ(offset.z, -4.0f * r);
  // In the open the camera closes on (0, -0.85 R, -4 R) behind the ship.
  Place(0, 0, 0);
  for (int i = 0; i < 100; ++i) Frame(33);
  EXPECT_NEAR(doc_->GetChaseCamera().y, -0.85f * r, 0.01f);
  EXPECT_NEAR(doc_->GetChaseCamera().z, -4.0f * r, 0.01f);
  // Two radii from the hangar's back wall: the line to the chase point meets
  // the wall half way, at y = -0.425 R; the camera stays in front of the
  // wall there, raised by 0.85 R.
  Place(0, 0, -400 + 2 * r);
  for (int i = 0; i < 100; ++i) Frame(33);
  const Vec3 camera = doc_->GetChaseCamera();
  EXPECT_GE(camera.z, -400.0f);
  EXPECT_NEAR(camera.z, -400.0f, 0.01f);
  EXPECT_NEAR(camera.y, -0.425f * r - 0.85f * r, 0.01f);
  // Toggling twice returns the offset to zero.
  doc_->ToggleChaseCamera();
  EXPECT_FALSE(doc_->IsExternalView());
  EXPECT_FLOAT_EQ(doc_->GetChaseOffset().z, 0.0f);
}

TEST_F(ShipTest, TheChaseCameraStepsEvery33MsAndCarriesTheRest) {
  Place(0, 0, 0);
  doc_->ToggleChaseCamera();
  Frame(20);  // starts the step clock
  const float before = doc_->GetChaseCamera().z;
  Frame(100);  // three steps, 1 ms carried
  const float target = -4.0f * ship_->GetRadius();
  const float three = target + (before - target) * 0.875f * 0.875f * 0.875f;
  EXPECT_NEAR(doc_->GetChaseCamera().z, three, 1e-3f);
  Frame(32);  // with the carried 1 ms, one more step
  EXPECT_NEAR(doc_->GetChaseCamera().z, target + (three - target) * 0.875f, 1e-3f);
}

TEST_F(ShipTest, AChaseViewWithoutOffsetGlidesIntoTheShipAndEnds) {
  Place(0, 0, 0);
  doc_->ToggleChaseCamera();
  Frame(20);
  for (int i = 0; i < 30; ++i) Frame(33);
  doc_->SetChaseOffset({0, 0, 0});
  int frames = 0;
  while (doc_->IsExternalView() && frames < 100) {
    Frame(33);
    ++frames;
  }
  EXPECT_FALSE(doc_->IsExternalView());
  EXPECT_GT(frames, 5);
}

TEST_F(ShipTest, TheObjectStepCoolsTheGunAndCalmsTheShakeEvenWhenFrozen) {
  doc_->SetGunHeat(0.5f);
  doc_->RaiseShake(1000);
  doc_->ToggleFrozen();
  g_GameTime = GameTimeAdd(g_GameTime, 1000);
  doc_->UpdateObjects(0);  // the first step counts 1 ms
  g_GameTime = GameTimeAdd(g_GameTime, 2000);
  doc_->UpdateObjects(0);  // a 2-s pause counts 523 ms
  EXPECT_NEAR(doc_->GetGunHeat(), 0.5f - 524 * 0.0002f, 1e-5f);
  EXPECT_EQ(doc_->GetShakeLevel(), 1000 - 524);
  doc_->CoolGun(5.0f);
  EXPECT_FLOAT_EQ(doc_->GetGunHeat(), 0.0f);
}

TEST_F(ShipTest, JoystickTurningIsOncePerFrameInProportionToTheFrameTime) {
  InputEvent plug{InputEventType::JoystickPlug};
  input_->Inject(plug);
  InputEvent taken;
  while (input_->PollEvent(&taken)) {
  }
  InitJoystick();
  ASSERT_EQ(g_JoystickPresent, 1);
  InputEvent axis{InputEventType::JoystickAxis};
  axis.button = 0;  // x: fully right
  axis.value = 32767;
  input_->Inject(axis);
  while (input_->PollEvent(&taken)) {
  }
  ClockSetTime(timeGetTime() + 40);
  doc_->SetJoystickEnable(true);
  Place(0, 0, 0);
  // 15 a 25-ms step of frame time: 12 for a 20-ms frame, 30 for 50 ms; the
  // frame's second reading turns nothing.
  const int cases[][2] = {{20, 12}, {50, 30}};
  for (const auto& c : cases) {
    ship_->State().angularVelocity[1] = 0.0f;
    ship_->ReadControls(true, c[0]);
    EXPECT_NEAR(ship_->GetState().angularVelocity[1], -static_cast<float>(c[1]), 0.01f) << c[0];
    ship_->ReadControls();
    EXPECT_NEAR(ship_->GetState().angularVelocity[1], -static_cast<float>(c[1]), 0.01f) << c[0];
  }
}

TEST_F(ShipTest, WithoutTheKeyboardFocusTheShipFliesOnWithItsLastTargets) {
  Prime();
  Place(0, 40, -280);
  Key(DIK_A, true);
  Frame(20);
  ASSERT_FLOAT_EQ(ship_->GetState().thrust[2], 200.0f);
  interface_->SetWindowFocus(false);
  Key(DIK_A, false);
  const float z = ship_->GetZ();
  for (int i = 0; i < 10; ++i) Frame(20);
  EXPECT_FLOAT_EQ(ship_->GetState().thrust[2], 200.0f);
  EXPECT_GT(ship_->GetZ(), z + 4.0f);  // 0.02 x (8 + 12 + ... + 44) = 5.2
  EXPECT_EQ(doc_->GetSteering(), 5);
}

TEST_F(ShipTest, ANetworkPlayersOwnRecordIsNotRemote) {
  ASSERT_TRUE(doc_->CreatePlayerRecord("pilot", "AB"));
  ASSERT_NE(doc_->GetLocalPlayer(), nullptr);
  EXPECT_FALSE(doc_->GetLocalPlayer()->IsRemote());
  EXPECT_TRUE(doc_->GetLocalPlayer()->IsLocal());
}

// One frame's reading of held keys: thrust (x right, y down, z ahead) and
// turn (pitch, yaw, roll) targets, at full speed or precise with Shift.
TEST_F(ShipTest, HeldKeysGiveTheirTargetsAndOppositesMeet) {
  enum : int { A = DIK_A, Z = DIK_Z, Left = DIK_LEFT, Right = DIK_RIGHT, Up = DIK_UP, Down = DIK_DOWN,
               Alt = DIK_LMENU, Shift = DIK_LSHIFT };
  struct Case {
    const char* what;
    std::vector<int> keys;
    float thrust[3];
    float turn[3];
  };
  const Case cases[] = {
      {"accel", {A}, {0, 0, 200}, {0, 0, 0}},
      {"back", {Z}, {0, 0, -200}, {0, 0, 0}},
      {"accel with back: accel wins", {A, Z}, {0, 0, 200}, {0, 0, 0}},
      {"precise accel", {Shift, A}, {0, 0, 50}, {0, 0, 0}},
      {"up", {Up}, {0, 0, 0}, {32, 0, 0}},
      {"up with down cancel", {Up, Down}, {0, 0, 0}, {0, 0, 0}},
      {"left with right cancel", {Left, Right}, {0, 0, 0}, {0, 0, 0}},
      {"precise left", {Shift, Left}, {0, 0, 0}, {0, 8, 0}},
      {"strafe left", {Alt, Left}, {-200, 0, 0}, {0, 0, 0}},
      {"strafe right and up, with accel", {Alt, Right, Up, A}, {200, -200, 200}, {0, 0, 0}},
      {"precise strafe down", {Shift, Alt, Down}, {0, 50, 0}, {0, 0, 0}},
  };
  Prime();
  for (const Case& c : cases) {
    Place(0, 40, -280);
    for (int key : c.keys) Key(key, true);
    Frame(20);
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(ship_->GetState().thrust[i], c.thrust[i]) << c.what << " thrust " << i;
      EXPECT_FLOAT_EQ(ship_->GetState().angularAccel[i], c.turn[i]) << c.what << " turn " << i;
    }
    for (int key : c.keys) Key(key, false);
    Frame(20);  // takes the presses latched for this reading
  }
}

// The mouse turns the ship by its motion since the last reading, read once a
// frame and not scaled by the frame's time; with the strafe key held it
// slides the ship instead.
TEST_F(ShipTest, TheMouseTurnsByItsMotionOnceAFrameOrSlidesWithStrafe) {
  ASSERT_NE(interface_->GetMouseDevice(), nullptr);
  Prime();
  ship_->ReadControls(true, 20);  // no motion left over
  const float sx = doc_->GetMouseSensitivityX(), sy = doc_->GetMouseSensitivityY();
  const auto move = [&](int dx, int dy) {
    InputEvent event{InputEventType::MouseMove};
    event.dx = dx;
    event.dy = dy;
    input_->Inject(event);
    InputEvent taken;
    while (input_->PollEvent(&taken)) {
    }
  };
  for (const int frameMs : {20, 50}) {
    Place(0, 40, -280);
    move(10, -5);
    ship_->ReadControls();  // a second reading of the frame leaves the mouse alone
    EXPECT_FLOAT_EQ(ship_->GetState().angularVelocity[1], 0.0f);
    ship_->ReadControls(true, frameMs);
    EXPECT_FLOAT_EQ(ship_->GetState().angularVelocity[1], -sx * sx * 10 * 1.2f) << frameMs;
    EXPECT_FLOAT_EQ(ship_->GetState().angularVelocity[0], sy * sy * 5 * 1.2f) << frameMs;
    ship_->ReadControls(true, frameMs);  // the motion was taken
    EXPECT_FLOAT_EQ(ship_->GetState().angularVelocity[1], -sx * sx * 10 * 1.2f) << frameMs;
  }
  // The strafe key held a frame already; the reading that takes the motion
  // slides the ship (the frame's later readings are the keys' alone).
  Place(0, 40, -280);
  Key(DIK_LMENU, true);
  Frame(20);
  move(10, 4);
  ClockSetTime(timeGetTime() + 20);
  ship_->ReadControls(true, 20);
  EXPECT_FLOAT_EQ(ship_->GetState().thrust[0], 100.0f);  // 10 x 200 x 0.05
  EXPECT_FLOAT_EQ(ship_->GetState().thrust[1], 40.0f);
  EXPECT_FLOAT_EQ(ship_->GetState().angularVelocity[1], 0.0f);
  Key(DIK_LMENU, false);
}

// In a network game Enter, Esc and Space respawn a dead ship, but only once
// its wreck has exploded (and dropped what it carried).
TEST_F(ShipTest, TheRespawnKeyWaitsForTheWrecksExplosionInANetworkGame) {
  std::vector<FakeSend> sends;
  DPADDRESS address{};
  ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends)));
  ASSERT_TRUE(IsNetworkGame());
  CNetView view;
  doc_->SetShipCollision(false);
  Place(0, 0, 0);
  Prime();
  ship_->SetShields(0);
  ship_->SetHealth(-100000.0f);  // a short death: the wreck goes in a second
  ship_->CheckDeath();
  ASSERT_TRUE(ship_->IsDead());
  for (const UINT key : {13u, 27u, 32u}) {
    EXPECT_EQ(view.HandleKey(key), 1) << key;
    EXPECT_TRUE(ship_->IsDead()) << key << " refused before the explosion";
  }
  for (int elapsed = 0; !ship_->IsExploded() && elapsed < 5000; elapsed += 20) Frame(20);
  ASSERT_TRUE(ship_->IsExploded());
  EXPECT_EQ(view.HandleKey(32), 1);
  EXPECT_FALSE(ship_->IsDead()) << "Space respawns the exploded wreck";
  g_Net.Close();
}

TEST(ShipControls, AccumulateSignedKeepsTheLargerOfOneSignAndAddsOpposites) {
  const float cases[][3] = {{0, 32, 32}, {32, -32, 0}, {-10, -32, -32}, {-40, -32, -40},
                            {20, 5, 20},  {-20, 0, -20}, {0, 0, 0},       {5, -1, 4}};
  for (const auto& c : cases) {
    float axis = c[0];
    AccumulateSigned(&axis, c[1]);
    EXPECT_FLOAT_EQ(axis, c[2]) << c[0] << " " << c[1];
  }
}

}  // namespace
