// The folder of a start from the menu, by the XDG base directory rules.
#include "app/menu_start.h"

#include <cstdlib>
#include <iostream>
#include <system_error>

#include "base/home_folder.h"

namespace korvane {

std::filesystem::path menuStartFolder(const char* xdgDataHome, const std::filesystem::path& home) {
  // A relative or empty value is to be ignored, the base directory rules say.
  if (xdgDataHome && std::filesystem::path(xdgDataHome).is_absolute()) {
    return std::filesystem::path(xdgDataHome) / "korvane";
  }
  return home / ".local" / "share" / "korvane";
}

bool enterMenuStartFolder(Desktop& desktop) {
  const std::filesystem::path folder = menuStartFolder(std::getenv("XDG_DATA_HOME"), homeFolder());
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error) std::filesystem::current_path(folder, error);
  if (!error) return true;
  const std::string text = "Cannot work in " + folder.string() + ": " + error.message();
  std::cerr << "korvane: " + text + "\n";
  desktop.messageBox(text, "ERROR");
  return false;
}

}  // namespace korvane
