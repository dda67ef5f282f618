// Reading and writing set files on disk. A save never leaves a half-written
// file: the lines go to a temporary file beside the target, which replaces
// the target only once everything was written and closed without error.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Writes `lines` (each one write) to `target`. On failure returns why and
// leaves any existing file of that name untouched and no temporary file.
std::optional<std::string> writeSetFile(const std::filesystem::path& target, const std::vector<std::string>& lines);

// The whole contents of the file, or no value when it cannot be opened or read.
std::optional<std::string> readSetFile(const std::filesystem::path& path);

// Reads the whole of a file the platform has opened, and closes it; no value
// when it could not be opened (null) or not be read. The one reader behind
// each platform's readSetFile.
std::optional<std::string> readWholeSetFile(std::FILE* file);

}  // namespace korvane
