// The upload (placeholder until it lands: sends nothing).
#include "comm/upload.h"

namespace korvane {

void Button1Click(Program&) {}

}  // namespace korvane
