// The upload: every marked field checked, converted and sent.
#pragma once

#include "app/program.h"

namespace korvane {

void Button1Click(Program& program);

}  // namespace korvane
