// The headless program fixture.
#include "support/headless_program.h"

#include <atomic>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include "app/startup.h"

namespace korvane::testing {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("korvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

HeadlessProgram::HeadlessProgram(SerialPort::BackendFactory factory, bool startUp, int commIniPort) {
  if (!factory) factory = [] { return std::unique_ptr<SerialBackend>(); };
  if (commIniPort != 0) std::ofstream(dir.path() / "comm.ini") << commIniPort << "\n";
  program = std::make_unique<Program>(desktop, std::move(factory), dir.path());
  if (startUp) FormCreate(*program);
}

}  // namespace korvane::testing
