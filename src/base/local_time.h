// The wall-clock time in the user's time zone, for the names and headers of
// files the user keeps (logs), read the thread-safe way of each platform.
#pragma once

#include <ctime>

namespace korvane {

std::tm localTimeNow();

}  // namespace korvane
