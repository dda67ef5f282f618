// The scripted line.
#include "support/scripted_line.h"

#include <algorithm>
#include <cstring>

#include "comm/comm_control.h"
#include "link/reply_decoder.h"

namespace korvane::testing {

int ScriptedLine::receive(std::uint8_t* buffer, int count) {
  if (chunks_.empty() || count <= 0) return 0;
  Bytes& front = chunks_.front();
  const auto n = std::min(front.size(), static_cast<std::size_t>(count));
  std::memcpy(buffer, front.data(), n);
  front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(n));
  if (front.empty()) chunks_.pop_front();
  return static_cast<int>(n);
}

// Port 1 is chosen in comm.ini, so the port opens as every file transfer
// opens it.
ScriptedProgram::ScriptedProgram() : program(line.factory(), true, 1) {
  line.useClock(program.desktop.clock);
  OpenForFileTransfer(*program);
  line.clearHistory();
}

void ScriptedProgram::decode(Bytes bytes) {
  line.queue(std::move(bytes));
  DecodeReply(*program);
}

}  // namespace korvane::testing
