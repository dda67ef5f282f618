// Local time on POSIX.
#include "base/local_time.h"

namespace korvane {

std::tm localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return local;
}

}  // namespace korvane
