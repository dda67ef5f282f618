// The data log hears the live data through its sink and knows nothing of the
// set files beside it: must not build.
#include "setfile/set_file_io.h"
