// The communication state that the 100 ms timer acts on.
#pragma once

namespace korvane {

enum class CommState : int {
  Idle = 0,
  Connecting = 1,
  ReadingAll = 2,
  Uploading = 3,
  Monitoring = 4,
};

}  // namespace korvane
