#pragma once
// The headless input: the events of an input script (platform/headless/
// input_script.h), each due once its time has passed on the platform clock
// since the input was made. A joystick plugged in by the script is there as
// soon as its time has come, even before the events before it are taken.
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/input.h"

class HeadlessInput : public PlatformInput {
 public:
  explicit HeadlessInput(std::vector<TimedInputEvent> events);
  const char* Name() const override { return "script"; }
  // Queues an event due at once (tests).
  void Inject(const InputEvent& event);

 protected:
  bool NextEvent(InputEvent* event) override;
  void LookForJoystick() override;

 private:
  std::vector<TimedInputEvent> events_;
  size_t next_ = 0;
  uint32_t startMs_;
};
