// The headless back end's input script: the input is a script's text. A
// script that parses must come out sorted by time.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<TimedInputEvent> events;
  std::string error;
  if (InputScriptParse(text, &events, &error)) {
    for (std::size_t i = 1; i < events.size(); ++i) {
      if (events[i].timeMs < events[i - 1].timeMs) FuzzFault("a parsed script is out of time order");
    }
  } else if (error.rfind("line ", 0) != 0) {
    FuzzFault("a refused script's reason names no line");
  }
  return 0;
}
