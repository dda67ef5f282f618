// Where a gain cell lies on the map, in the words a listener needs: the
// engine speeds and manifold pressures it covers, read off the axis labels,
// and its column and row in the grid.
#pragma once

#include <string>

#include "window/main_window.h"

namespace korvane {

// The speeds and pressures cell `index` covers, as the axis labels show them
// now: "1000 to 1500 RPM, 25 to 37 kPa". A range whose ends are equal is said
// once ("0 RPM").
std::string gainCellPlace(const TFrm_Mapping& window, int index);

// The cell's column and row, counted from 1 at the bottom left:
// "Gain, RPM column 3 of 16, MAP row 2 of 8".
std::string gainCellPosition(int index);

// Whether `field` is one of the RPM or MAP axis labels the places are read from.
bool isAxisLabel(const TFrm_Mapping& window, const Field& field);

}  // namespace korvane
