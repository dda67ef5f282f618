// Local time on Win32, where localtime_s takes its arguments the other way
// round from C11's.
#include "base/local_time.h"

namespace korvane {

std::tm localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_s(&local, &now);
  return local;
}

}  // namespace korvane
