// Port selection: SelectedPort, the Port menu's check marks, and comm.ini,
// the one-line file in the working directory that remembers the choice.
#include "app/port_selection.h"

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "base/text_number.h"

namespace korvane {
namespace {

constexpr const char* kCommIniName = "comm.ini";
constexpr std::size_t kCommIniReadBytes = 64;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The narrow form of the path, which is the path itself on POSIX and its
// form in the system's code page on Windows. Files are opened in binary
// mode, so that comm.ini has the same bytes on both.
File openFile(const std::filesystem::path& path, const char* mode) {
  return File(std::fopen(path.string().c_str(), mode), &std::fclose);
}

std::filesystem::path commIniPath(const Program& program) { return program.workDir / kCommIniName; }

// The first 64 bytes of comm.ini, or nothing when it cannot be read. It is
// opened for reading only: a read-only comm.ini still names the port.
std::optional<std::string> readCommIniText(const Program& program) {
  File file = openFile(commIniPath(program), "rb");
  if (!file) return std::nullopt;
  std::array<char, kCommIniReadBytes> buffer{};
  const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
  if (std::ferror(file.get())) return std::nullopt;  // a directory, say
  return std::string(buffer.data(), got);
}

// Replaces comm.ini with the port digit and a line end; false on any failure.
bool writeCommIni(const Program& program, int port) {
  File file = openFile(commIniPath(program), "wb");
  if (!file) return false;
  const std::string line = std::to_string(port) + "\n";
  const bool written = std::fputs(line.c_str(), file.get()) >= 0;
  return std::fclose(file.release()) == 0 && written;
}

std::array<Field*, 4> portItems(TFrm_Mapping& w) { return {&w.COM11, &w.COM21, &w.COM31, &w.COM41}; }

void choosePort(Program& program, int port) {
  program.SelectedPort = port;
  setPortMenuChecks(program);
  if (!writeCommIni(program, port)) {
    // The choice holds for this run all the same; the user should know that
    // the next start will not find it.
    program.desktop.messageBox(
        "The Comm port choice could not be saved in comm.ini, it holds only until the "
        "program ends",
        "ERROR");
  }
}

}  // namespace

void readCommIni(Program& program) {
  program.SelectedPort = 0;
  const std::optional<std::string> text = readCommIniText(program);
  if (!text) {
    program.desktop.messageBox("A Comm port has not yet been selected, select one before starting", "ERROR");
    return;
  }
  program.SelectedPort = fileAtol(*text);
}

void setPortMenuChecks(Program& program) {
  const auto items = portItems(program.Frm_Mapping);
  for (std::size_t n = 0; n < items.size(); ++n) {
    items[n]->setChecked(program.SelectedPort == static_cast<std::int32_t>(n + 1));
  }
}

void COM11Click(Program& program) { choosePort(program, 1); }
void COM21Click(Program& program) { choosePort(program, 2); }
void COM31Click(Program& program) { choosePort(program, 3); }
void COM41Click(Program& program) { choosePort(program, 4); }

}  // namespace korvane
