#include "platform/headless/headless_backend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"

HeadlessBackend::HeadlessBackend(std::vector<TimedInputEvent> events)
    : events_(std::move(events)), startMs_(timeGetTime()) {}

void HeadlessBackend::Inject(const InputEvent& event) {
  const uint32_t now = timeGetTime() - startMs_;
  // Keep the list ordered: an injected event goes before later scripted ones.
  size_t at = next_;
  while (at < events_.size() && events_[at].timeMs <= now) ++at;
  events_.insert(events_.begin() + static_cast<std::ptrdiff_t>(at), TimedInputEvent{now, event});
}

bool HeadlessBackend::NextEvent(InputEvent* event) {
  if (next_ >= events_.size()) return false;
  const uint32_t elapsed = timeGetTime() - startMs_;  // wrap-safe
  if (events_[next_].timeMs > elapsed) return false;
  *event = events_[next_++].event;
  return true;
}

std::unique_ptr<PlatformBackend> HeadlessBackendCreateFromEnvironment() {
  std::vector<TimedInputEvent> events;
  const char* path = std::getenv("KORVANE_INPUT_SCRIPT");
  if (path && *path) {
    std::string error;
    if (!InputScriptLoad(path, &events, &error)) {
      std::fprintf(stderr, "korvane: input script %s: %s; quitting\n", path, error.c_str());
      events.clear();
      events.push_back({0, InputEvent{InputEventType::Quit}});
    }
  }
  return std::make_unique<HeadlessBackend>(std::move(events));
}
