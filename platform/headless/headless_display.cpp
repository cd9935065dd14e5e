// The headless display: no window; boxes and beeps are lines on stderr.
#include <cstdio>

#include "platform/debug_output.h"
#include "platform/headless/headless_backend.h"

namespace {
class HeadlessDisplay : public PlatformDisplay {
 public:
  const char* Name() const override { return "headless"; }
  int ShowMessageBox(const char* text, const char* caption, UINT type) override {
    std::fprintf(stderr, "korvane: message box \"%s\": %s\n", caption, text);
    return MessageBoxDefaultButton(type);
  }
  void Beep(UINT type) override { std::fprintf(stderr, "korvane: beep (%u)\n", type); }
};
}  // namespace

std::unique_ptr<PlatformDisplay> HeadlessDisplayCreate() { return std::make_unique<HeadlessDisplay>(); }
