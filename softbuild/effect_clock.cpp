#include "softbuild/effect_clock.h"

#include "game/interface_manager.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"

uint32_t EffectElapsed(uint32_t start) { return static_cast<uint32_t>(timeGetTime() - start); }

namespace {
// Looking at the queue shows a changed screen, which costs a frame's time on
// a window: it is done at most at the rate frames are shown.
constexpr uint32_t kLookIntervalMs = 16;
uint32_t g_LastLook = 0;
bool g_Looked = false;
}  // namespace

void EffectLookAtMessages() {
  const uint32_t now = timeGetTime();
  if (g_Looked && static_cast<uint32_t>(now - g_LastLook) < kLookIntervalMs) return;
  g_Looked = true;
  g_LastLook = now;
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

void EffectWaitPast(uint32_t t) {
  for (;;) {
    EffectLookAtMessages();
    if (static_cast<int32_t>(timeGetTime() - t) > 0) return;
    Sleep(1);
  }
}

void EffectWaitUntil(uint32_t start, uint32_t ms) {
  for (;;) {
    EffectLookAtMessages();
    if (EffectElapsed(start) >= ms) return;
    Sleep(1);
  }
}

bool EffectSpacePressed(CInterface& ui) {
  g_Looked = false;
  EffectLookAtMessages();
  return ui.IsKeyPressed(kScanSpace);
}
