// The frames must not reach into start-up: must not build.
#include "app/startup.h"
