// The gain cell the engine runs in: the one under the two cursor bars, found
// from the live numbers by the map's own scales.
#pragma once

#include <cstdint>

#include "base/controller_settings.h"

namespace korvane {

// The index (column * 8 + row) of the cell for this MAP and RPM: the column
// is RPM / FullScaleRpm * 16 and the row (MAP - offset) / span * 8, each cut
// to a whole number and kept on the map, so a reading beyond either end
// counts for the cell at that edge. -1 while the sensor range or the full
// scale is not known (before the first configuration reply).
int cellUnderCursors(const ControllerSettings& settings, float mapKpa, std::int64_t rpm);

}  // namespace korvane
