// What korvane-setfile's commands share: their exit statuses, the way they
// report a file they cannot work with, and the texts they show for values a
// file does not set.
#pragma once

#include <ostream>
#include <string>

#include "cli/read_back_window.h"
#include "cli/set_file_input.h"

namespace korvane {

// As diff(1) has them.
inline constexpr int kExitSame = 0;     // the file is sent whole; the files send the same values
inline constexpr int kExitDiffer = 1;   // a load would refuse the file; the files send different values
inline constexpr int kExitTrouble = 2;  // a file that is no set file, a bad command line

inline constexpr const char* kToolName = "korvane-setfile";
inline constexpr const char* kNotInFile = "not in the file";

// Writes "korvane-setfile: NAME: message" as one line.
void reportFileError(std::ostream& err, const std::string& name, const std::string& message);

// The input's error, or why a load would refuse it: reported, and true. A
// file a load would refuse sends nothing, so there is nothing to show of it.
bool reportUnusable(std::ostream& err, const SetFileInput& input);

// The window's text for parameter `index`, or what stands in for it where
// the file does not fix it; a radio group with no button checked says so.
std::string parameterText(const ReadBackWindow& window, const SetFileValues& values, std::size_t index);

// The raw value of parameter `index` as the load sends it, or kNotInFile.
std::string rawText(const SetFileValues& values, std::size_t index);

}  // namespace korvane
