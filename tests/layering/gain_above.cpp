// The gain grid does not reach the set files beside it: must not build.
#include "setfile/set_file_io.h"
