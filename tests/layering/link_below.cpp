// From link, the window layer is in reach.
#include "window/program.h"
