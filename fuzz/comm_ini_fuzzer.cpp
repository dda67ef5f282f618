// comm.ini of arbitrary contents read at start-up, then the Port menu's check
// marks, then a choice from the menu read back by the next start. The port
// is the number at the start of the first 64 bytes, as C's strtol reads it
// (kept within 32 bits); no message is shown for a readable file, whatever
// it holds; at most the item of that port is checked.
//
// Input: byte 0 chooses the port picked afterwards (its value mod 4, plus 1);
// the rest is the file.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "app/port_selection.h"
#include "fuzz_support.h"
#include "support/headless_program.h"

namespace korvane::fuzzing {
namespace {

using testing::HeadlessProgram;

constexpr std::size_t kReadBytes = 64;

std::int32_t referencePort(const std::string& contents) {
  const std::string seen = contents.substr(0, kReadBytes);  // strtol stops at a zero byte as the reader must
  const long value = std::strtol(seen.c_str(), nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

void checkMenu(TFrm_Mapping& w, std::int32_t port) {
  const std::array<const Field*, 4> items = {&w.COM11, &w.COM21, &w.COM31, &w.COM41};
  for (std::size_t n = 0; n < items.size(); ++n) {
    require(items[n]->checked() == (port == static_cast<std::int32_t>(n + 1)), "only the chosen port is checked");
  }
}

void run(int choice, const std::string& contents) {
  HeadlessProgram p({}, false);
  std::ofstream(p.dir.path() / "comm.ini", std::ios::binary) << contents;
  Program& program = *p;
  readCommIni(program);
  setPortMenuChecks(program);
  require(p.desktop.messages.empty(), "a readable comm.ini shows no message");
  require(program.SelectedPort == referencePort(contents), "the port is the number the file starts with");
  checkMenu(p.window(), program.SelectedPort);

  const std::array<std::function<void(Program&)>, 4> clicks = {COM11Click, COM21Click, COM31Click, COM41Click};
  clicks[static_cast<std::size_t>(choice - 1)](program);
  require(program.SelectedPort == choice && p.desktop.messages.empty(), "a menu choice holds without a message");
  checkMenu(p.window(), choice);
  Program next(p.desktop, {}, p.dir.path());
  readCommIni(next);
  require(next.SelectedPort == choice, "the next start finds the port chosen last");
}

}  // namespace
}  // namespace korvane::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvane::fuzzing::InputBytes input(data, size);
  const int choice = input.next() % 4 + 1;
  korvane::fuzzing::run(choice, input.restAsText());
  return 0;
}
