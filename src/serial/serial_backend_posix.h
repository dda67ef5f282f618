// The POSIX serial backend: termios and poll() on a tty. A device name
// "Com<n>" is looked up as an entry of that name in the working directory
// (normally a symbolic link to /dev/ttyUSB0 or a pseudo-terminal), else as
// /dev/ttyS<n-1>.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "serial/serial_backend.h"

namespace korvane {

// How a transfer waits for the line: until `fd` may be ready for `events`
// (poll() flags) or `deadline` has passed. It may return early, before
// either; the backend then looks at the line again and waits on if it must.
// Without one, the backend blocks in ppoll(). A window that must stay alive
// while the program waits for the controller passes its own.
using LineWait = std::function<void(int fd, short events, std::chrono::steady_clock::time_point deadline)>;

std::unique_ptr<SerialBackend> makePosixSerialBackend(const std::filesystem::path& workDir, LineWait wait = {});

// The file the backend opens for a device name such as "Com3".
std::filesystem::path posixDevicePath(const std::filesystem::path& workDir, const std::string& deviceName);

}  // namespace korvane
