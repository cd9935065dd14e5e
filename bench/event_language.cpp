// What the level script and the object tick cost per frame: raising a
// typical event text (split, unwrapped, four keywords, one timed event),
// counting down a list of timed events, and one object-manager tick over
// N objects that live on.
#include <benchmark/benchmark.h>

#include "world/objects/generic_object.h"
#include "world/objects/object_manager.h"
#include "world/script/event_manager.h"

namespace {

void BM_RaiseEvent(benchmark::State& state) {
  CEventManager events;
  const CString text("activate a|timer 100 activate b|{deactivate c|activate d}|2log HELLO");
  for (auto _ : state) {
    benchmark::DoNotOptimize(events.RaiseEvent(text, "bench"));
    events.ClearTimedEvents();
  }
}
BENCHMARK(BM_RaiseEvent);

void BM_TimedEventCountdown(benchmark::State& state) {
  CEventManager events;
  for (int i = 0; i < state.range(0); ++i) events.AddTimedEvent(1 << 30, "activate x");
  for (auto _ : state) events.UpdateTimedEvents(20);
}
BENCHMARK(BM_TimedEventCountdown)->Arg(10)->Arg(200);

class LivingObject : public CGenericObject {
 public:
  LivingObject() : CGenericObject(5, 1) { active_ = true; }
  BOOL Update(uint32_t elapsedMs) override {
    benchmark::DoNotOptimize(elapsedMs);
    return TRUE;
  }
};

void BM_ObjectTick(benchmark::State& state) {
  CObjectManager manager;
  for (int i = 0; i < state.range(0); ++i) manager.AddObject(new LivingObject);
  for (auto _ : state) manager.Update(20);
}
BENCHMARK(BM_ObjectTick)->Arg(50)->Arg(500);

}  // namespace

BENCHMARK_MAIN();
