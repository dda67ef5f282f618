// The communication control tells the data log through the sink, never by
// name: must not build.
#include "datalog/data_log.h"
