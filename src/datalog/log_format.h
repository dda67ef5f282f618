// The text of a data log, laid out as the tab-separated .msl text log that
// tuners' log viewers read: two quoted header lines, a row of channel names,
// a row of units, then one tab-separated row per live-data reply and marker
// lines among them. Every line ends in a line feed; numbers are plain, with
// a full stop whatever the user's locale, and a zero before it.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "base/live_data_sink.h"

namespace korvane {

// The four lines a log starts with: the program's and the controller's
// revisions, the local time the capture began, the channel names and their
// units.
std::string logHeader(std::string_view softwareRevision, std::string_view controllerRevision, const std::tm& captured);

// One data row: the seconds since logging began to the millisecond, RPM,
// MAP, pulse width, the cell under the cursor bars and its gain (`gain`, as
// gainForLog gives it), then the three readings.
std::string logRow(long long elapsedMs, const LiveSample& sample, std::string_view gain);

// The line for marker `number` (counted from 1 in each log): "MARK 001".
std::string markerLine(int number);

// A gain cell's text as the log shows it: "0.78" for ".78", with two
// decimals; empty when the cell is blank or holds no number.
std::string gainForLog(std::string_view cellText, char decimalSeparator);

// The name the save dialog proposes for a log begun at local time `now`:
// korvane-YYYYMMDD-HHMMSS.msl.
std::string logFileName(const std::tm& now);

}  // namespace korvane
