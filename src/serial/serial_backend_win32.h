// The Win32 serial backend: a COM device opened with CreateFileA for
// exclusive use, its line set through the device control block and its read
// and write time-outs kept by the driver itself.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "serial/serial_backend.h"

namespace korvane {

// How an overlapped transfer waits for the driver: until `event` (a Win32
// event HANDLE) is signalled or `deadline` has passed. It may return early,
// before either; the backend then looks at the transfer again and waits on.
// The driver's time-outs still decide when a read ends; the deadline only
// bounds a driver that never completes. A window that must stay alive while
// the program waits for the controller passes its own.
using Win32LineWait = std::function<void(void* event, std::chrono::steady_clock::time_point deadline)>;

// Without a wait the device is opened for synchronous transfers, which block
// the calling thread in ReadFile and WriteFile. With one it is opened for
// overlapped transfers, each with an event of its own, and the thread waits
// through `wait` until the driver has completed it.
std::unique_ptr<SerialBackend> makeWin32SerialBackend(Win32LineWait wait = {});

// The name CreateFileA is given for a device name such as "Com12":
// "\\.\COM12". The device namespace prefix reaches every port number; a bare
// "COM12" would be taken for a file of that name in the working directory.
std::string win32DevicePath(const std::string& deviceName);

}  // namespace korvane
