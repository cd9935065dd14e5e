#pragma once
// A sensor of the level script: an unseen sphere (a placed "sensor.3ds"
// instance) that raises its event when an admitted actor (a player, or an
// enemy by its instance name) comes within reach. It fires once and then
// disables itself unless it is continuous, when it fires in every frame an
// actor is within reach. The script manager owns it and hands it every
// actor each frame; the script enables, disables and resizes it by name.
#include <cstddef>
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/script/script_object.h"

// The event of a sensor instance without "event": no handler knows it.
inline constexpr const char* kMissingSensorEvent = "'missing sensor event'";
// A sensor-state message (0x4D2C): header, name hash, action, flags, two
// spare bytes, radius.
inline constexpr size_t kSensorStateSize = 24;

class CSensor : public CScriptObject {
 public:
  // Restored from a saved game: its record fills it.
  CSensor() = default;
  // From the instance's place, name and properties ("radius", "object",
  // "event", "continuous"); a null instance gives the defaults.
  explicit CSensor(Instance* instance);
  explicit CSensor(const CString& name) : name_(name) {}

  const CString& GetName() const { return name_; }
  int GetNameHash() const;
  // One actor: a disabled sensor, one out of reach (the boundary counts as
  // within) or an actor the filter refuses does nothing; else Trigger.
  virtual void Test(const char* actor, const Vec3& at, float actorRadius);
  // Raises the event with the source "sensor <name> by <actor>"; a sensor
  // that is not continuous disables itself.
  virtual void Trigger(const char* actor);
  void Enable(bool on) { disabled = !on; }
  void SetRadius(float value) { radius = value; }
  // Radius and both flags from a sensor-state message; a message shorter
  // than kSensorStateSize changes nothing.
  void RestoreState(const uint8_t* message, size_t length);
  // Position, radius, filter, event, name, disabled, continuous.
  void Serialize(CArchive& ar) override;

  Vec3 position = {0, 0, 0};
  float radius = 20.0f;
  CString objectFilter;  // empty admits every actor; else exact or a mask
  CString event = kMissingSensorEvent;
  bool disabled = false;
  bool continuous = false;

 private:
  CString name_;
};
