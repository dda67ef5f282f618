// The upload knows nothing of the grid that calls it: must not build.
#include "gain/gain_grid.h"
