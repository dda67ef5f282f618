// From app, every layer below is in reach.
#include "gain/gain_grid.h"
#include "setfile/set_file_transfer.h"
