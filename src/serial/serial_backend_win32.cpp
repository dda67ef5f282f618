// The Win32 serial backend. Every step is one call of the serial API and
// fails on its own, so that SerialPort can say which one did.
#include "serial/serial_backend_win32.h"

#include <windows.h>

#include <chrono>
#include <iostream>
#include <string_view>
#include <utility>

namespace korvane {
namespace {

// The system's text for a Win32 error code, without the line break it ends in.
std::string systemMessage(DWORD error) {
  char text[512] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(error) : message;
}

// What to do about a device that cannot be opened, for the causes users meet.
// Empty for other causes.
std::string openFailureHint(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return "another program is using it";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "no serial port of that number; the Device Manager lists the ports there are";
    default:
      return {};
  }
}

// One line on standard error beside the message box's "Bad ComPort".
void reportOpenFailure(const std::string& deviceName, const std::string& path, DWORD error) {
  std::string line = "korvane: cannot open " + deviceName + " (" + path + "): " + systemMessage(error);
  const std::string hint = openFailureHint(error);
  if (!hint.empty()) line += "; " + hint;
  std::cerr << line + "\n";
}

using Clock = std::chrono::steady_clock;

// How long past its own time-outs an overlapped transfer is given before it
// is cancelled: the driver ends every transfer by the time-outs, so only a
// driver that has stopped answering ever reaches this.
constexpr std::chrono::milliseconds kDriverGrace{1000};

// An event for one direction's overlapped transfers: manual reset, so that
// it stays signalled once the driver has completed, until the next transfer
// starts.
class TransferEvent {
 public:
  TransferEvent() = default;
  ~TransferEvent() { reset(); }
  TransferEvent(const TransferEvent&) = delete;
  TransferEvent& operator=(const TransferEvent&) = delete;

  bool create() {
    reset();
    handle_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return handle_ != nullptr;
  }
  void reset() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
    handle_ = nullptr;
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

class Win32SerialBackend : public SerialBackend {
 public:
  explicit Win32SerialBackend(Win32LineWait wait) : wait_(std::move(wait)) {}
  ~Win32SerialBackend() override { close(); }
  Win32SerialBackend(const Win32SerialBackend&) = delete;
  Win32SerialBackend& operator=(const Win32SerialBackend&) = delete;

  bool open(const std::string& deviceName) override;
  bool setQueues(int inputBytes, int outputBytes) override;
  bool getLineSettings(LineSettings& settings) override;
  bool setLineSettings(const LineSettings& settings) override;
  bool getTimeouts(Timeouts& timeouts) override;
  bool setTimeouts(const Timeouts& timeouts) override;
  int read(std::uint8_t* buffer, int count) override;
  int write(const std::uint8_t* buffer, int count) override;
  void close() override;

 private:
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool overlapped() const { return static_cast<bool>(wait_); }
  Clock::time_point deadlineFor(DWORD multiplier, DWORD constant, int count) const;
  int finish(BOOL started, OVERLAPPED& transfer, Clock::time_point deadline);

  Win32LineWait wait_;
  TransferEvent readEvent_, writeEvent_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  // The control block and the time-outs as last read from the device: a
  // write puts the program's values into them, so that everything else
  // stays as the device reported it.
  DCB dcb_{};
  bool dcbRead_ = false;
  COMMTIMEOUTS timeouts_{};
};

bool Win32SerialBackend::open(const std::string& deviceName) {
  close();
  const std::string path = win32DevicePath(deviceName);
  // No sharing: a second opener, this program or another, is refused while
  // the port is ours. Synchronous transfers block in the driver for as long
  // as the time-outs allow; overlapped ones last exactly as long, but the
  // thread waits through the wait it was given.
  const DWORD flags = overlapped() ? FILE_FLAG_OVERLAPPED : 0;
  if (overlapped() && (!readEvent_.create() || !writeEvent_.create())) {
    reportOpenFailure(deviceName, path, ::GetLastError());
    return false;
  }
  HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reportOpenFailure(deviceName, path, ::GetLastError());
    return false;
  }
  handle_ = handle;
  dcbRead_ = false;
  return true;
}

bool Win32SerialBackend::setQueues(int inputBytes, int outputBytes) {
  if (!held() || inputBytes < 0 || outputBytes < 0) return false;
  return ::SetupComm(handle_, static_cast<DWORD>(inputBytes), static_cast<DWORD>(outputBytes)) != 0;
}

bool Win32SerialBackend::getLineSettings(LineSettings& settings) {
  if (!held()) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(handle_, &dcb)) return false;
  dcb_ = dcb;
  dcbRead_ = true;
  settings.baudRate = static_cast<int>(dcb.BaudRate);
  settings.byteSize = dcb.ByteSize;
  settings.parity = dcb.Parity;
  settings.stopBits = dcb.StopBits;
  settings.abortOnError = dcb.fAbortOnError != 0;
  return true;
}

// The five values go into the block the device reported; flow control, the
// modem lines and the special characters stay as they were. Parity and stop
// bits are the control block's own codes (NOPARITY, ONESTOPBIT, ...), which
// LineSettings uses too.
bool Win32SerialBackend::setLineSettings(const LineSettings& settings) {
  if (!held() || settings.baudRate <= 0) return false;
  if (!dcbRead_) {
    LineSettings current;
    if (!getLineSettings(current)) return false;
  }
  DCB dcb = dcb_;
  dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
  dcb.ByteSize = static_cast<BYTE>(settings.byteSize);
  dcb.Parity = static_cast<BYTE>(settings.parity);
  dcb.StopBits = static_cast<BYTE>(settings.stopBits);
  dcb.fAbortOnError = settings.abortOnError ? TRUE : FALSE;
  if (!::SetCommState(handle_, &dcb)) return false;
  dcb_ = dcb;
  return true;
}

bool Win32SerialBackend::getTimeouts(Timeouts& timeouts) {
  if (!held()) return false;
  COMMTIMEOUTS current{};
  if (!::GetCommTimeouts(handle_, &current)) return false;
  timeouts_ = current;
  timeouts.readInterval = static_cast<int>(current.ReadIntervalTimeout);
  timeouts.readTotalMultiplier = static_cast<int>(current.ReadTotalTimeoutMultiplier);
  timeouts.readTotalConstant = static_cast<int>(current.ReadTotalTimeoutConstant);
  timeouts.writeTotalMultiplier = static_cast<int>(current.WriteTotalTimeoutMultiplier);
  timeouts.writeTotalConstant = static_cast<int>(current.WriteTotalTimeoutConstant);
  return true;
}

// The driver keeps the three read time-outs itself: ReadFile returns at the
// count, an interval without a byte after the first one, or the total time.
bool Win32SerialBackend::setTimeouts(const Timeouts& timeouts) {
  if (!held()) return false;
  if (timeouts.readInterval < 0 || timeouts.readTotalMultiplier < 0 || timeouts.readTotalConstant < 0 ||
      timeouts.writeTotalMultiplier < 0 || timeouts.writeTotalConstant < 0) {
    return false;
  }
  COMMTIMEOUTS wanted = timeouts_;
  wanted.ReadIntervalTimeout = static_cast<DWORD>(timeouts.readInterval);
  wanted.ReadTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.readTotalMultiplier);
  wanted.ReadTotalTimeoutConstant = static_cast<DWORD>(timeouts.readTotalConstant);
  wanted.WriteTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.writeTotalMultiplier);
  wanted.WriteTotalTimeoutConstant = static_cast<DWORD>(timeouts.writeTotalConstant);
  if (!::SetCommTimeouts(handle_, &wanted)) return false;
  timeouts_ = wanted;
  return true;
}

// After a line error with abort-on-error on, ReadFile and WriteFile fail
// until the port is opened again; that reads as -1 here and as "nothing
// came" to the callers.
int Win32SerialBackend::read(std::uint8_t* buffer, int count) {
  if (!held() || count < 0) return -1;
  DWORD got = 0;
  if (!overlapped()) {
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
    return static_cast<int>(got);
  }
  OVERLAPPED transfer{};
  transfer.hEvent = readEvent_.get();
  const Clock::time_point deadline =
      deadlineFor(timeouts_.ReadTotalTimeoutMultiplier, timeouts_.ReadTotalTimeoutConstant, count);
  return finish(::ReadFile(handle_, buffer, static_cast<DWORD>(count), nullptr, &transfer), transfer, deadline);
}

int Win32SerialBackend::write(const std::uint8_t* buffer, int count) {
  if (!held() || count < 0) return -1;
  DWORD done = 0;
  // A write cut short by its time-out still succeeds, with fewer bytes done.
  if (!overlapped()) {
    if (!::WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int>(done);
  }
  OVERLAPPED transfer{};
  transfer.hEvent = writeEvent_.get();
  const Clock::time_point deadline =
      deadlineFor(timeouts_.WriteTotalTimeoutMultiplier, timeouts_.WriteTotalTimeoutConstant, count);
  return finish(::WriteFile(handle_, buffer, static_cast<DWORD>(count), nullptr, &transfer), transfer, deadline);
}

// The latest a transfer of `count` bytes can end by its total time-out, and
// the grace on top; none when the device has no total time-out.
Clock::time_point Win32SerialBackend::deadlineFor(DWORD multiplier, DWORD constant, int count) const {
  if (multiplier == 0 && constant == 0) return Clock::time_point::max();
  const auto total = std::chrono::milliseconds(static_cast<long long>(multiplier) * count + constant);
  return Clock::now() + total + kDriverGrace;
}

// Waits for an overlapped transfer the driver has taken on, and returns the
// bytes it moved, or -1 when it failed. A transfer the driver completed at
// once is read the same way.
int Win32SerialBackend::finish(BOOL started, OVERLAPPED& transfer, Clock::time_point deadline) {
  if (!started && ::GetLastError() != ERROR_IO_PENDING) return -1;
  while (::WaitForSingleObject(transfer.hEvent, 0) == WAIT_TIMEOUT) {
    if (Clock::now() >= deadline) {
      // The transfer's buffer is the caller's: it must be over before this
      // returns, so the cancelled transfer is waited for to its end.
      ::CancelIo(handle_);
      DWORD moved = 0;
      ::GetOverlappedResult(handle_, &transfer, &moved, TRUE);
      return static_cast<int>(moved);
    }
    wait_(transfer.hEvent, deadline);
  }
  DWORD moved = 0;
  if (!::GetOverlappedResult(handle_, &transfer, &moved, FALSE)) return -1;
  return static_cast<int>(moved);
}

void Win32SerialBackend::close() {
  if (!held()) return;
  ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  dcbRead_ = false;
}

}  // namespace

std::unique_ptr<SerialBackend> makeWin32SerialBackend(Win32LineWait wait) {
  return std::make_unique<Win32SerialBackend>(std::move(wait));
}

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path&) {
  return makeWin32SerialBackend();
}

std::string win32DevicePath(const std::string& deviceName) {
  constexpr std::string_view kPrefix = "Com";
  const std::string_view name = deviceName;
  if (name.substr(0, kPrefix.size()) == kPrefix) return "\\\\.\\COM" + deviceName.substr(kPrefix.size());
  return "\\\\.\\" + deviceName;
}

}  // namespace korvane
