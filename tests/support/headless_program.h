// A fresh program with a recording desktop, in a temporary working
// directory of its own, started up as the real one is; and the files tests
// put in such directories.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/recording_desktop.h"
#include "window/program.h"

namespace korvane::testing {

// A temporary directory removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The bytes of a file, empty when it cannot be read.
std::string contentsOf(const std::filesystem::path& path);

// Writes `text` as the whole of the file.
void writeFile(const std::filesystem::path& path, const std::string& text);

// The names in `directory`, sorted: where a save leaves its target and
// would leave a temporary file.
std::vector<std::string> entriesOf(const std::filesystem::path& directory);

class HeadlessProgram {
 public:
  // `factory` puts a line behind the port; without one every Open fails at
  // "Bad ComPort". `startUp` runs FormCreate. A `commIniPort` other than 0 is
  // written to comm.ini first, as an earlier choice from the Port menu would.
  explicit HeadlessProgram(SerialPort::BackendFactory factory = {}, bool startUp = true, int commIniPort = 0);

  TempDir dir;
  RecordingDesktop desktop;
  std::unique_ptr<Program> program;

  Program& operator*() { return *program; }
  Program* operator->() { return program.get(); }
  TFrm_Mapping& window() { return program->Frm_Mapping; }
};

}  // namespace korvane::testing
