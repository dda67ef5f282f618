// The Win32 serial backend: a COM device opened with CreateFileA for
// exclusive, synchronous use, its line set through the device control block
// and its read and write time-outs kept by the driver itself.
#pragma once

#include <memory>
#include <string>

#include "serial/serial_backend.h"

namespace korvane {

std::unique_ptr<SerialBackend> makeWin32SerialBackend();

// The name CreateFileA is given for a device name such as "Com12":
// "\\.\COM12". The device namespace prefix reaches every port number; a bare
// "COM12" would be taken for a file of that name in the working directory.
std::string win32DevicePath(const std::string& deviceName);

}  // namespace korvane
