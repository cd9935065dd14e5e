#pragma once
// The headless back end: no window, no sound device; input comes from a
// script (KORVANE_INPUT_SCRIPT names its file) in platform-clock time.
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/input_script.h"

class HeadlessBackend : public PlatformBackend {
 public:
  // Events are due at their time after the back end was made.
  explicit HeadlessBackend(std::vector<TimedInputEvent> events);
  BackendKind Kind() const override { return BackendKind::Headless; }
  // Queues an event due at once (tests).
  void Inject(const InputEvent& event);

 protected:
  bool NextEvent(InputEvent* event) override;

 private:
  std::vector<TimedInputEvent> events_;
  size_t next_ = 0;
  uint32_t startMs_;
};

// From KORVANE_INPUT_SCRIPT; a script that cannot be read or parsed is
// reported on stderr and replaced by an immediate quit, so a run never hangs
// waiting for input that will not come.
std::unique_ptr<PlatformBackend> HeadlessBackendCreateFromEnvironment();
