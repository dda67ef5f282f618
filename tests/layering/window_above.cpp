// Builds only if the layers above are hidden from window: must not build.
#include "link/command.h"
