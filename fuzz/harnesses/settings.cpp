// The settings (profile) file: the input is the file. A few entries are read,
// one is written, and then the written entry must read back as written and
// every other entry that was read before must read the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "platform/framework/profile.h"

namespace {

struct Key {
  const char* section;
  const char* entry;
};
constexpr Key kKeys[] = {{"Settings", "Volume"}, {"Settings", "Name"}, {"settings", "detail"},
                         {"Keys", "Fire"},       {"", "x"},            {"Recent File List", "File1"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteFile("settings.ini", data, size);
  std::string before[std::size(kKeys)];
  bool had[std::size(kKeys)];
  for (std::size_t i = 0; i < std::size(kKeys); ++i) had[i] = ProfileRead(path, kKeys[i].section, kKeys[i].entry, &before[i]);
  int number = 0;
  if (had[0]) ProfileParseInt(before[0], &number);
  const std::string written = std::to_string(number + 1) + "\\ \r\n";
  if (ProfileWrite(path, kKeys[0].section, kKeys[0].entry, written)) {
    FuzzNote("written");
    std::string value;
    if (!ProfileRead(path, kKeys[0].section, kKeys[0].entry, &value) || value != written) {
      FuzzFault("a written setting does not read back");
    }
    for (std::size_t i = 1; i < std::size(kKeys); ++i) {
      if (!had[i]) continue;
      if (!ProfileRead(path, kKeys[i].section, kKeys[i].entry, &value) || value != before[i]) {
        FuzzFault("writing one setting changed another");
      }
    }
  }
  return 0;
}
