// The lines of a data log.
#include "datalog/log_format.h"

#include <cmath>
#include <cstdio>

#include "base/format_float.h"
#include "base/text_number.h"

namespace korvane {
namespace {

// Named here rather than by strftime, whose names follow the user's locale.
constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct Channel {
  const char* name;
  const char* unit;
};

constexpr Channel kChannels[] = {{"Time", "s"},         {"RPM", "RPM"},        {"MAP", "kPa"},
                                 {"PW", "ms"},          {"Cell", ""},          {"Gain", ""},
                                 {"MAP raw", "counts"}, {"RPM raw", "counts"}, {"PW raw", "counts"}};

std::string tabbed(const char* Channel::*part) {
  std::string line;
  for (const Channel& channel : kChannels) {
    if (&channel != &kChannels[0]) line += '\t';
    line += channel.*part;
  }
  return line + '\n';
}

// "Fri Mar 01 09:05:02 CET 2024"; the zone is left out where it is unknown.
std::string captureDate(const std::tm& t) {
  char clock[64];
  std::strftime(clock, sizeof clock, "%H:%M:%S %Z", &t);
  std::string zoned = clock;
  if (zoned.back() == ' ') zoned.pop_back();
  char text[128];
  std::snprintf(text, sizeof text, "%s %s %02d %s %d", kDays[t.tm_wday % 7], kMonths[t.tm_mon % 12], t.tm_mday,
                zoned.c_str(), t.tm_year + 1900);
  return text;
}

std::string seconds(long long elapsedMs) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", elapsedMs / 1000, elapsedMs % 1000);
  return text;
}

}  // namespace

std::string logHeader(std::string_view softwareRevision, std::string_view controllerRevision, const std::tm& captured) {
  std::string header = "\"Korvane ";
  header.append(softwareRevision).append(", controller ").append(controllerRevision).append("\"\n");
  header += "\"Capture Date: " + captureDate(captured) + "\"\n";
  return header + tabbed(&Channel::name) + tabbed(&Channel::unit);
}

std::string logRow(long long elapsedMs, const LiveSample& sample, std::string_view gain) {
  std::string row = seconds(elapsedMs);
  row += '\t' + std::to_string(sample.rpm);
  row += '\t' + FormatFloat("0.0", sample.mapKpa);
  row += '\t' + FormatFloat("0.00", sample.pulseWidthMs);
  row += '\t' + (sample.cell < 0 ? std::string() : std::to_string(sample.cell));
  row += '\t';
  row += gain;
  row += '\t' + std::to_string(sample.mapReading);
  row += '\t' + std::to_string(sample.rpmReading);
  row += '\t' + std::to_string(sample.pulseReading);
  return row + '\n';
}

std::string markerLine(int number) {
  char text[32];
  std::snprintf(text, sizeof text, "MARK %03d\n", number);
  return text;
}

std::string gainForLog(std::string_view cellText, char decimalSeparator) {
  const std::optional<long double> factor = parseFieldNumber(cellText, decimalSeparator);
  if (!factor || !std::isfinite(*factor)) return {};
  return FormatFloat("0.00", *factor);
}

std::string logFileName(const std::tm& now) {
  char name[64];
  std::snprintf(name, sizeof name, "korvane-%04d%02d%02d-%02d%02d%02d.msl", now.tm_year + 1900, now.tm_mon + 1,
                now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
  return name;
}

}  // namespace korvane
