// A start from the desktop's menu: Korvane runs in the user's own folder, so
// that comm.ini and the Com<n> links have one known place whatever folder
// the desktop starts programs in.
#pragma once

#include <filesystem>

#include "base/desktop.h"

namespace korvane {

// "korvane" in the user's data folder: `xdgDataHome` ($XDG_DATA_HOME) when it
// is an absolute path, otherwise ~/.local/share under `home`.
std::filesystem::path menuStartFolder(const char* xdgDataHome, const std::filesystem::path& home);

// Makes menuStartFolder() of this process's environment the working
// directory, creating it when missing. False when it cannot, after saying why
// on standard error and in a message box.
bool enterMenuStartFolder(Desktop& desktop);

}  // namespace korvane
