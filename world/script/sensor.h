#pragma once
// A sensor of the level script: raises its event when an admitted actor
// comes within its radius. Made from a "sensor.3ds" instance at level start;
// the script manager owns it and hands it every actor each frame.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/script/script_object.h"

class CSensor : public CScriptObject {
 public:
  // Restored from a saved game: its record fills it.
  CSensor() = default;
  // From the instance: its name (and the properties its own code reads).
  explicit CSensor(Instance* instance);
  explicit CSensor(const CString& name) : name_(name) {}

  const CString& GetName() const { return name_; }
  int GetNameHash() const;
  // Tests one actor (position, radius, name).
  virtual void TestActor(const Vec3& position, float radius, const char* actor);
  void Serialize(CArchive& ar) override;
  // Takes the sensor's state from a 0x4D2C message whose length the caller
  // has checked: radius at offset 20; bit 0 of offset 17 disabled, bit 1
  // continuous.
  void RestoreState(const uint8_t* message);

  bool enabled = true;
  float radius = 0.0f;

 protected:
  CString name_;
};
