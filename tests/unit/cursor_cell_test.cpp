// The gain cell under the cursor bars, kept on the map at every edge.
#include "link/cursor_cell.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct CellCase {
  const char* name;
  float mapKpa;
  std::int64_t rpm;
  int cell;
};

class CursorCellTest : public ::testing::TestWithParam<CellCase> {};

// A 2 bar sensor (span 255, offset 10) and a full scale of 6460 RPM: a
// column is 403.75 RPM wide, a row 31.875 kPa high.
TEST_P(CursorCellTest, ColumnByTheSpeedRowByThePressure) {
  ControllerSettings s;
  s.MapSpanKpa = 255;
  s.MapOffsetKpa = 10;
  s.FullScaleRpm = 6460;
  EXPECT_EQ(cellUnderCursors(s, GetParam().mapKpa, GetParam().rpm), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CursorCellTest,
    ::testing::Values(CellCase{"BottomLeft", 10.0f, 0, 0}, CellCase{"TheWindowsWorkedExample", 137.6f, 3233, 8 * 8 + 4},
                      CellCase{"JustShortOfTheSecondColumn", 10.0f, 403, 0},
                      CellCase{"OnTheSecondColumn", 10.0f, 404, 8}, CellCase{"JustUnderTheSecondRow", 41.8f, 0, 0},
                      CellCase{"OnTheSecondRow", 41.875f, 0, 1}, CellCase{"FullScaleOnBothAxes", 265.0f, 6460, 127},
                      CellCase{"BeyondBothAxes", 400.0f, 20000, 127},
                      CellCase{"BelowTheSensorsOffset", 2.0f, 6459, 15 * 8}, CellCase{"TopLeft", 300.0f, 0, 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CursorCellUnknownTest, NoCellBeforeTheScalesAreKnown) {
  ControllerSettings s;
  s.MapSpanKpa = 255;
  EXPECT_EQ(cellUnderCursors(s, 137.6f, 0), -1) << "no full scale yet";
  s = {};
  s.FullScaleRpm = 6460;
  EXPECT_EQ(cellUnderCursors(s, 137.6f, 3233), -1) << "no sensor range yet";
}

}  // namespace
}  // namespace korvane
