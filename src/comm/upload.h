// The upload: every marked field checked, converted and sent.
#pragma once

#include "window/program.h"

namespace korvane {

void Button1Click(Program& program);

}  // namespace korvane
