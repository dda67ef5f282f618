// From the window layer, the layer below is in reach.
#include "serial/serial_port.h"
