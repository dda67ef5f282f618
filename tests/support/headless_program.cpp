// The headless program fixture.
#include "support/headless_program.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

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

std::string contentsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> entriesOf(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

HeadlessProgram::HeadlessProgram(SerialPort::BackendFactory factory, bool startUp, int commIniPort) {
  if (!factory) factory = [] { return std::unique_ptr<SerialBackend>(); };
  if (commIniPort != 0) std::ofstream(dir.path() / "comm.ini") << commIniPort << "\n";
  program = std::make_unique<Program>(desktop, std::move(factory), dir.path());
  if (startUp) FormCreate(*program);
}

}  // namespace korvane::testing
