// The local ship's controls: keys, joystick and mouse into the six targets
// (thrust in ship axes and angular acceleration), the steering code the
// cockpit shows, and the weapon keys.
#include "game/direct_player.h"
#include "game/interface_manager.h"
#include "game/joystick.h"
#include "game/net_doc.h"
#include "game/ship_controls.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/direct_input.h"

namespace {

constexpr uint32_t kScrollIntervalMs = 250;
// The joystick's turn per 25 ms of frame time (one physics sub-step).
constexpr float kJoystickTurn = 15.0f;
constexpr float kJoystickTurnFrameMs = 25.0f;

int Sign(float value) { return value > 0.01f ? 1 : value < -0.01f ? -1 : 0; }
int SignOf(long value) { return value > 0 ? 1 : value < 0 ? -1 : 0; }

// An action's first key, or its second when the first is not down.
bool Pressed(CInterface* ui, const CNetDoc* doc, int action) {
  for (int slot = 0; slot < 2; ++slot) {
    const int code = doc->GetKeyBinding(action, slot);
    if (code && ui->IsKeyPressed(code)) return true;
  }
  return false;
}

bool Held(CInterface* ui, const CNetDoc* doc, int action) {
  for (int slot = 0; slot < 2; ++slot) {
    const int code = doc->GetKeyBinding(action, slot);
    if (code && ui->IsKeyDown(code)) return true;
  }
  return false;
}

// The mouse's motion and buttons since the last read; false when it can't
// be read (a lost device is acquired again and read once more).
bool ReadMouse(CInterface* ui, DIMOUSESTATE* state) {
  IDirectInputDevice* mouse = ui->GetMouseDevice();
  if (!mouse) return false;
  HRESULT result = mouse->GetDeviceState(sizeof(DIMOUSESTATE), state);
  if (result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED) {
    mouse->Acquire();
    result = mouse->GetDeviceState(sizeof(DIMOUSESTATE), state);
  }
  return result == DI_OK;
}

}  // namespace

float RandomFloat(float x) { return static_cast<float>(CrtRand()) * x / static_cast<float>(kCrtRandMax); }

void AccumulateSigned(float* axis, float input) {
  const bool axisNegative = *axis < 0.0f;
  const bool inputNegative = input < 0.0f || (input == 0.0f && axisNegative);
  if (axisNegative == inputNegative) {
    if (std::abs(input) > std::abs(*axis)) *axis = input;
  } else {
    *axis += input;
  }
}

void CDirectPlayer::StopMotion() {
  for (int i = 0; i < 3; ++i) state_.thrust[i] = state_.angularAccel[i] = 0.0f;
  if (g_pNetDoc) g_pNetDoc->SetFireHeld(0);
}

int CDirectPlayer::ReadControls(bool frameRead, int frameMs) {
  CNetDoc* doc = g_pNetDoc;
  if (!doc) return 1;
  if (dead_) {
    for (int i = 0; i < 3; ++i) state_.thrust[i] = state_.angularAccel[i] = 0.0f;
    doc->SetSteering(5);
    return 1;
  }
  CInterface* ui = g_pInterface;
  if (!ui || !doc->HasInputFocus()) {
    // The targets keep their values: a ship flies on while the window is
    // away.
    doc->SetSteering(5);
    return 1;
  }
  float* thrust = state_.thrust;
  float* accel = state_.angularAccel;  // pitch, yaw, roll
  for (int i = 0; i < 3; ++i) thrust[i] = accel[i] = 0.0f;
  const bool precise = Held(ui, doc, kActionPrecise);
  const float speed = precise ? 50.0f : 200.0f;
  const float turn = precise ? 8.0f : 32.0f;

  if (Pressed(ui, doc, kActionAccel)) {
    thrust[2] = speed;
  } else if (Pressed(ui, doc, kActionAccelBack)) {
    thrust[2] = -speed;
  }
  const bool strafe = Held(ui, doc, kActionStrafe);
  if (!strafe) {
    if (Pressed(ui, doc, kActionUp)) AccumulateSigned(&accel[0], turn);
    if (Pressed(ui, doc, kActionDown)) AccumulateSigned(&accel[0], -turn);
    if (Pressed(ui, doc, kActionLeft)) AccumulateSigned(&accel[1], turn);
    if (Pressed(ui, doc, kActionRight)) AccumulateSigned(&accel[1], -turn);
  } else {
    if (Pressed(ui, doc, kActionLeft)) AccumulateSigned(&thrust[0], -speed);
    if (Pressed(ui, doc, kActionRight)) AccumulateSigned(&thrust[0], speed);
    if (Pressed(ui, doc, kActionUp)) AccumulateSigned(&thrust[1], -speed);
    if (Pressed(ui, doc, kActionDown)) AccumulateSigned(&thrust[1], speed);
  }
  if (Pressed(ui, doc, kActionStrafeLeft)) AccumulateSigned(&thrust[0], -speed);
  if (Pressed(ui, doc, kActionStrafeRight)) AccumulateSigned(&thrust[0], speed);
  if (Pressed(ui, doc, kActionStrafeUp)) AccumulateSigned(&thrust[1], -speed);
  if (Pressed(ui, doc, kActionStrafeDown)) AccumulateSigned(&thrust[1], speed);

  float sv = static_cast<float>(Sign(accel[0] - thrust[1]));
  float sh = static_cast<float>(Sign(accel[1] - thrust[0]));
  float n = 1.0f;

  float jx = 0.0f, jy = 0.0f, jz = 0.0f;
  if (doc->IsJoystickEnabled()) {
    ReadJoystickAxes(&jx, &jy, &jz);
    if (doc->IsJoystickSwapped()) jy = -jy;
    sv = (static_cast<float>(Sign(-jy)) + sv) / 2.0f;
    sh = (static_cast<float>(Sign(-jx)) + sh) / 2.0f;
    n = 2.0f;
    if (strafe) {
      AccumulateSigned(&thrust[0], jx * speed * 1.2f);
      AccumulateSigned(&thrust[1], jy * speed * 1.2f);
    } else if (frameRead) {
      // Turning changes the rates themselves: once a frame, in proportion
      // to the frame's time.
      const float scale = static_cast<float>(frameMs) / kJoystickTurnFrameMs;
      state_.angularVelocity[1] -= jx * kJoystickTurn * scale;
      state_.angularVelocity[0] -= jy * kJoystickTurn * scale;
    }
    AccumulateSigned(&thrust[2], -(jz * speed));
  }

  bool mouseFire = false, mouseMissile = false;
  DIMOUSESTATE mouse;
  // The mouse gives its motion since the last read: read once a frame.
  if (frameRead && ReadMouse(ui, &mouse)) {
    const long dx = mouse.lX;
    const long dy = doc->IsMouseSwapped() ? -mouse.lY : mouse.lY;
    mouseFire = (mouse.rgbButtons[0] & 0x80) != 0;
    mouseMissile = (mouse.rgbButtons[1] & 0x80) != 0;
    sv = (sv * n + static_cast<float>(SignOf(-dy))) / (n + 1.0f);
    sh = (sh * n + static_cast<float>(SignOf(-dx))) / (n + 1.0f);
    const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
    if (strafe) {
      AccumulateSigned(&thrust[0], fx * speed * 0.05f);
      AccumulateSigned(&thrust[1], fy * speed * 0.05f);
    } else {
      state_.angularVelocity[0] -= Sqr(doc->GetMouseSensitivityY()) * fy * 1.2f;
      state_.angularVelocity[1] -= Sqr(doc->GetMouseSensitivityX()) * fx * 1.2f;
    }
    AccumulateSigned(&thrust[2], static_cast<float>(mouse.lZ) * speed * 0.01f);
  }

  steerVertical_ = (sv + steerVertical_) / 2.0f;
  steerHorizontal_ = (sh + steerHorizontal_) / 2.0f;
  const int code = 5 + (steerHorizontal_ < -0.1f ? 1 : steerHorizontal_ > 0.1f ? -1 : 0) +
                   (steerVertical_ < -0.1f ? 3 : steerVertical_ > 0.1f ? -3 : 0);

  doc->SetFireHeld(Pressed(ui, doc, kActionFireGun) || mouseFire ? 1 : 0);
  if (Pressed(ui, doc, kActionLaunchMissile) || mouseMissile) doc->FireMissile();
  if (Pressed(ui, doc, kActionSpecial)) doc->UpdateSatellite();
  const uint32_t now = timeGetTime();
  if (Pressed(ui, doc, kActionScrollGun) && now - lastGunScroll_ > kScrollIntervalMs) {
    lastGunScroll_ = now;
    doc->CycleGun(0);
  }
  if (Pressed(ui, doc, kActionScrollMissile) && now - lastMissileScroll_ > kScrollIntervalMs) {
    lastMissileScroll_ = now;
    doc->CycleMissile(0);
  }
  doc->SetSteering(code);
  return 1;
}
