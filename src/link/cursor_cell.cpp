// The cell under the cursor bars.
#include "link/cursor_cell.h"

#include <algorithm>

#include "base/text_number.h"

namespace korvane {
namespace {

constexpr int kColumns = 16;
constexpr int kRows = 8;

int onTheMap(std::int64_t place, int count) { return static_cast<int>(std::clamp<std::int64_t>(place, 0, count - 1)); }

}  // namespace

int cellUnderCursors(const ControllerSettings& settings, float mapKpa, std::int64_t rpm) {
  if (settings.FullScaleRpm <= 0 || settings.MapSpanKpa <= 0) return -1;
  // Whole numbers, so the speed's share is exact.
  const int column = onTheMap(rpm * kColumns / settings.FullScaleRpm, kColumns);
  const long double pressureShare =
      (static_cast<long double>(mapKpa) - settings.MapOffsetKpa) / settings.MapSpanKpa * kRows;
  const int row = onTheMap(truncateToInt64(pressureShare), kRows);
  return column * kRows + row;
}

}  // namespace korvane
