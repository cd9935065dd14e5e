#include <time.h>

#include "platform/clock.h"

bool LocalTimeNow(std::tm* out) {
  const std::time_t now = std::time(nullptr);
  return localtime_r(&now, out) != nullptr;
}
