#include "platform/headless/headless_input.h"

#include "platform/clock.h"

namespace {

bool IsKeyEvent(const InputEvent& event) {
  return event.type == InputEventType::KeyDown || event.type == InputEventType::KeyUp;
}

}  // namespace

HeadlessInput::HeadlessInput(std::vector<TimedInputEvent> events)
    : events_(std::move(events)), startMs_(timeGetTime()) {
  keysFollowClock_ = true;
  for (const TimedInputEvent& timed : events_) {
    if (IsKeyEvent(timed.event)) keys_.push_back(timed);
  }
}

void HeadlessInput::CatchUpKeys() const {
  std::lock_guard<std::mutex> guard(keysLock_);
  const uint32_t elapsed = timeGetTime() - startMs_;  // wrap-safe
  for (; nextKey_ < keys_.size() && keys_[nextKey_].timeMs <= elapsed; ++nextKey_) {
    SetKey(keys_[nextKey_].event.scanCode, keys_[nextKey_].event.type == InputEventType::KeyDown);
  }
}

void HeadlessInput::Inject(const InputEvent& event) {
  if (IsKeyEvent(event)) {
    // Due at once: after the script's keys that are due already.
    CatchUpKeys();
    SetKey(event.scanCode, event.type == InputEventType::KeyDown);
  }
  const uint32_t now = timeGetTime() - startMs_;
  // Keep the list ordered: an injected event goes before later scripted ones.
  size_t at = next_;
  while (at < events_.size() && events_[at].timeMs <= now) ++at;
  events_.insert(events_.begin() + static_cast<std::ptrdiff_t>(at), TimedInputEvent{now, event});
}

bool HeadlessInput::NextEvent(InputEvent* event) {
  if (next_ >= events_.size()) return false;
  const uint32_t elapsed = timeGetTime() - startMs_;  // wrap-safe
  if (events_[next_].timeMs > elapsed) return false;
  *event = events_[next_++].event;
  return true;
}

void HeadlessInput::LookForJoystick() {
  // The plugs and unplugs that are due take effect now (and leave the
  // script); the other events wait to be taken in order.
  const uint32_t elapsed = timeGetTime() - startMs_;
  for (size_t i = next_; i < events_.size() && events_[i].timeMs <= elapsed;) {
    const InputEventType type = events_[i].event.type;
    if (type != InputEventType::JoystickPlug && type != InputEventType::JoystickUnplug) {
      ++i;
      continue;
    }
    ApplyEvent(events_[i].event);
    events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}
