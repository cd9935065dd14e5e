#pragma once
// The satellite strikes: an orbital weapon the level script switches on.
// After a pause it picks the target's position, warns, strikes the spot with
// five energy pulses, rests and starts again. The enemy manager creates it
// with itself (g_pSatellite), advances it every frame and saves it inside its
// own record. In a network game it never acts.
//
// The runtime class keeps the spelling saved games carry ("CSattelite").
#include <cstdint>
#include <string>

#include "engine/records.h"
#include "platform/framework/runtime_class.h"

class CArchive;

class CSattelite : public CObject {
  DECLARE_DYNCREATE_CLASS(CSattelite)
 public:
  // Inactive; restart delay 7000, aiming base delay 500, strike base delay
  // 10000, every other field 0.
  CSattelite();
  ~CSattelite() override = default;

  void SetDelays(int aimingBase, int strikeBase);
  // The order codes of the enemy orders: 3 stops, 4 starts; always 1.
  int Order(int code);
  // One frame with the current target position.
  void Update(float x, float y, float z, int32_t now);
  // state, next state, target x, y, z, the five integers, active, delay, and
  // the time since the last step (now minus its stamp); no object tag.
  void SerializeState(CArchive& archive);

  int32_t GetState() const { return state_; }
  int32_t GetNextState() const { return nextState_; }
  bool IsActive() const { return active_ != 0; }
  int32_t GetDelay() const { return delay_; }
  int32_t GetAimingBaseDelay() const { return values_[3]; }
  int32_t GetStrikeBaseDelay() const { return values_[4]; }
  int32_t GetLastStepTime() const { return lastStep_; }
  Vec3 GetTarget() const { return {target_[0], target_[1], target_[2]}; }

 private:
  int32_t state_ = 0;
  int32_t nextState_ = 0;
  float target_[3] = {};
  // [1] the restart delay, [3] the aiming base delay, [4] the strike base
  // delay; [0] and [2] are only saved.
  int32_t values_[5] = {};
  int32_t active_ = 0;
  int32_t delay_ = 0;
  int32_t lastStep_ = 0;  // 0: not started
};

extern CSattelite* g_pSatellite;

// Told of every energy pulse a strike sets off (null: nobody watches).
using SatellitePulseObserver = void (*)(float x, float y, float z);
extern SatellitePulseObserver g_SatellitePulseObserver;

// The two base delays from the timing file "\vscript\sattelit.ini" (2000
// and 25000 when it cannot be read).
void ReadSatelliteTiming();
// The delays of a timing file's text: the last line that holds two whole
// numbers (aiming, strike) wins; ';' starts a comment line. False, nothing
// written, when no line holds them.
bool ParseSatelliteTiming(const std::string& text, int* aimingBase, int* strikeBase);
