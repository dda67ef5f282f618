// The POSIX serial backend: termios and poll() on a tty. A device name
// "Com<n>" is looked up as an entry of that name in the working directory
// (normally a symbolic link to /dev/ttyUSB0 or a pseudo-terminal), else as
// /dev/ttyS<n-1>.
#pragma once

#include <filesystem>
#include <memory>

#include "link/serial_backend.h"

namespace korvane {

std::unique_ptr<SerialBackend> makePosixSerialBackend(const std::filesystem::path& workDir);

// The file the backend opens for a device name such as "Com3".
std::filesystem::path posixDevicePath(const std::filesystem::path& workDir, const std::string& deviceName);

}  // namespace korvane
