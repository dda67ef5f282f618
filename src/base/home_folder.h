// The user's home folder, found the platform's way.
#pragma once

#include <filesystem>

namespace korvane {

std::filesystem::path homeFolder();

}  // namespace korvane
