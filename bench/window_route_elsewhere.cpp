// korvane-bench's window route: the bench that draws the window is a
// program of its own, korvane-bench-window beside this one, so that nothing
// of Qt is loaded into the headless figures (the peak memory above all).
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "route.h"

namespace korvane::bench {

std::unique_ptr<Route> makeWindowRoute(const std::string&, std::chrono::seconds, char** argv) {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  const std::filesystem::path windowBench = self.parent_path() / "korvane-bench-window";
  ::execv(windowBench.c_str(), argv);
  throw std::runtime_error("--window runs " + windowBench.string() + ", which cannot be started (" +
                           std::strerror(errno) +
                           "); it is built with the Qt binding: -DKORVANE_BUILD_UI=ON, target korvane-bench-window");
}

}  // namespace korvane::bench
