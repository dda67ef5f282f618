// DecodeReply: the tool's only receive path. One read, the activity lamp, and
// the reply recognised by its letter and exact length and applied.
#pragma once

#include "app/program.h"

namespace korvane {

void DecodeReply(Program& program);

}  // namespace korvane
