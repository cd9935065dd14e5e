#pragma once
// The headless input: the events of an input script (platform/headless/
// input_script.h), each due once its time has passed on the platform clock
// since the input was made. A joystick plugged in by the script is there as
// soon as its time has come, even before the events before it are taken.
//
// The keys follow the clock alone: every keyboard read, from whichever
// thread, first applies the script's key events that are due by then, so a
// read at a given clock time finds the same keys however late the main
// thread takes its events or the game's input thread comes to read (a run
// under load flies the same path as an idle one). Taking the key events
// later feeds only the window layer.
#include <mutex>
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
  void CatchUpKeys() const override;

 private:
  std::vector<TimedInputEvent> events_;
  size_t next_ = 0;
  // The script's key events, applied to the keys by the clock.
  std::vector<TimedInputEvent> keys_;
  mutable std::mutex keysLock_;
  mutable size_t nextKey_ = 0;
  uint32_t startMs_;
};
