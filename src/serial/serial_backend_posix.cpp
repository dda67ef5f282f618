// The POSIX serial backend: a tty opened for exclusive use, a raw 8-bit line
// set with termios, and reads and writes that keep their time-outs with
// poll() on a monotonic clock.
#include "serial/serial_backend_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

#include "base/precise_wait_posix.h"

namespace korvane {
namespace {

using Clock = std::chrono::steady_clock;

struct BaudCode {
  int rate;
  speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},       {200, B200},
    {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400},     {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

constexpr tcflag_t kCharacterSizes[] = {CS5, CS6, CS7, CS8};  // for 5 to 8 data bits

bool baudCode(int rate, speed_t& code) {
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.rate == rate) {
      code = entry.code;
      return true;
    }
  }
  return false;
}

// Puts the character format into `cflag`: data bits 5 to 8, parity code
// 0 none / 1 odd / 2 even, stop-bit code 0 one / 2 two. False for anything
// a termios line cannot express (mark and space parity, one and a half stop
// bits).
bool characterFormat(const LineSettings& settings, tcflag_t& cflag) {
  if (settings.byteSize < 5 || settings.byteSize > 8) return false;
  if (settings.parity < 0 || settings.parity > 2) return false;
  if (settings.stopBits != 0 && settings.stopBits != 2) return false;
  cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
  cflag |= kCharacterSizes[settings.byteSize - 5];
  if (settings.parity != 0) cflag |= PARENB;
  if (settings.parity == 1) cflag |= PARODD;
  if (settings.stopBits == 2) cflag |= CSTOPB;
  return true;
}

// What an errno means for a transfer in progress.
enum class IoError {
  Interrupted,  // a signal came in; the call is simply made again
  WouldBlock,   // nothing to move right now; wait with poll()
  LineGone,     // the device failed or hung up (EIO, EBADF, ...)
};

IoError classifyError(int error) {
  if (error == EINTR) return IoError::Interrupted;
  if (error == EAGAIN || error == EWOULDBLOCK) return IoError::WouldBlock;
  return IoError::LineGone;
}

enum class WaitResult { Ready, TimedOut, LineGone };

// Looks at the descriptor until `deadline`; only once when it has passed.
std::optional<WaitResult> lookAt(int fd, short events, Clock::time_point deadline) {
  pollfd entry{fd, events, 0};
  const int ready = pollUntil(entry, deadline);
  if (ready < 0) return WaitResult::LineGone;
  if (ready == 0) return std::nullopt;
  if (entry.revents & events) return WaitResult::Ready;
  return WaitResult::LineGone;  // POLLHUP, POLLERR or POLLNVAL without data
}

// Waits until the descriptor is ready for `events` or the deadline passes,
// in ppoll() or, when one is given, in the caller's own wait.
WaitResult waitFor(int fd, short events, Clock::time_point deadline, const LineWait& wait) {
  for (;;) {
    if (const auto now = lookAt(fd, events, Clock::time_point{})) return *now;
    if (Clock::now() >= deadline) return WaitResult::TimedOut;
    if (wait) {
      wait(fd, events, deadline);
    } else if (const auto ready = lookAt(fd, events, deadline)) {
      return *ready;
    }
  }
}

std::chrono::milliseconds totalTime(int constantMs, int perByteMs, int count) {
  return std::chrono::milliseconds(static_cast<long long>(constantMs) + static_cast<long long>(perByteMs) * count);
}

// The name of the group that owns `path`, the one a user must belong to for
// a device that is not world-readable ("dialout" on Debian for serial
// devices, which is also the guess when it cannot be read).
std::string owningGroup(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return "dialout";
  const group* owner = ::getgrgid(info.st_gid);
  return owner ? owner->gr_name : std::to_string(info.st_gid);
}

// What to do about a device that cannot be opened, for the causes users
// meet: a group they are not in, a link to an adapter that is unplugged or
// was never made (`link` is where it belongs), another program on the line.
// Empty for other causes.
std::string openFailureHint(const std::filesystem::path& device, const std::filesystem::path& link, bool linked,
                            int error) {
  const std::string makeLink = "ln -sfn /dev/serial/by-id/ADAPTER " + link.string();
  switch (error) {
    case EACCES:
    case EPERM: {
      const std::string group = owningGroup(device);
      return "join the group " + group + " that owns it (sudo usermod -aG " + group + " $USER) and log in again";
    }
    case EBUSY:
      return "another program is using it";
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO:
      if (linked) return "plug the adapter in, or link " + link.filename().string() + " to it: " + makeLink;
      return "no serial port there; link the adapter: " + makeLink;
    default:
      return {};
  }
}

// One line on standard error beside the message box's "Bad ComPort": the
// device, where its link leads, the system's reason and a hint.
void reportOpenFailure(const std::filesystem::path& workDir, const std::string& deviceName,
                       const std::filesystem::path& device, int error, const char* reason) {
  const std::filesystem::path link = std::filesystem::absolute(workDir / deviceName).lexically_normal();
  const bool linked = device == workDir / deviceName;
  std::string shown = linked ? link.string() : device.string();
  std::error_code notALink;
  const std::filesystem::path target = std::filesystem::read_symlink(device, notALink);
  if (!notALink) shown += " -> " + target.string();
  std::string line = "korvane: cannot open " + deviceName + " (" + shown + "): " + reason;
  const std::string hint = openFailureHint(device, link, linked, error);
  if (!hint.empty()) line += "; " + hint;
  std::cerr << line + "\n";
}

class PosixSerialBackend : public SerialBackend {
 public:
  PosixSerialBackend(std::filesystem::path workDir, LineWait wait)
      : workDir_(std::move(workDir)), wait_(std::move(wait)) {}
  ~PosixSerialBackend() override { close(); }
  PosixSerialBackend(const PosixSerialBackend&) = delete;
  PosixSerialBackend& operator=(const PosixSerialBackend&) = delete;

  bool open(const std::string& deviceName) override;
  // The driver keeps its own input and output buffers, sized by the kernel.
  bool setQueues(int, int) override { return fd_ >= 0; }
  bool getLineSettings(LineSettings& settings) override;
  bool setLineSettings(const LineSettings& settings) override;
  bool getTimeouts(Timeouts& timeouts) override;
  bool setTimeouts(const Timeouts& timeouts) override;
  int read(std::uint8_t* buffer, int count) override;
  int write(const std::uint8_t* buffer, int count) override;
  void close() override;

 private:
  std::filesystem::path workDir_;
  LineWait wait_;
  int fd_ = -1;
  Timeouts timeouts_;  // all zero until set: transfers then never wait
};

bool PosixSerialBackend::open(const std::string& deviceName) {
  close();
  const std::filesystem::path path = posixDevicePath(workDir_, deviceName);
  int fd = -1;
  // O_NONBLOCK keeps open() from waiting for carrier on a modem line, and
  // the transfers wait with poll() instead of blocking in read() and write().
  do {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && classifyError(errno) == IoError::Interrupted);  // a signal is no reason to fail
  if (fd < 0) {
    const int error = errno;
    reportOpenFailure(workDir_, deviceName, path, error, std::strerror(error));
    return false;
  }

  // Another program holding the device is refused here. TIOCEXCL keeps
  // further opens of the tty out (except by root); the lock also catches
  // programs that lock without it. A file that is no terminal does not take
  // TIOCEXCL and is refused later, when its line settings are read.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    reportOpenFailure(workDir_, deviceName, path, error, "locked by another program");
    return false;
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  return true;
}

bool PosixSerialBackend::getLineSettings(LineSettings& settings) {
  termios tio{};
  if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) return false;
  const speed_t speed = ::cfgetospeed(&tio);
  const auto known = std::find_if(std::begin(kBaudCodes), std::end(kBaudCodes),
                                  [speed](const BaudCode& entry) { return entry.code == speed; });
  settings.baudRate = known != std::end(kBaudCodes) ? known->rate : 0;
  const auto size = std::find(std::begin(kCharacterSizes), std::end(kCharacterSizes), tio.c_cflag & CSIZE);
  settings.byteSize = 5 + static_cast<int>(size - std::begin(kCharacterSizes));
  settings.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 1 : 2) : 0;
  settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
  settings.abortOnError = false;
  return true;
}

// The line is made raw so that every byte value passes untranslated both
// ways, with the receiver on, modem control lines ignored and no flow
// control: the controller knows neither RTS/CTS nor XON/XOFF, and 0x11 and
// 0x13 are ordinary data in its frames. `abortOnError` is not applied: a
// termios line has no setting that stops all transfers after a line error.
// Here a break reads as 0x00, a byte with a framing error reads as it was
// received, and with parity on a byte with a parity error reads as 0x00.
bool PosixSerialBackend::setLineSettings(const LineSettings& settings) {
  termios tio{};
  speed_t speed = 0;
  if (fd_ < 0 || !baudCode(settings.baudRate, speed) || ::tcgetattr(fd_, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  if (!characterFormat(settings, tio.c_cflag)) return false;
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~CRTSCTS;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (settings.parity != 0) tio.c_iflag |= INPCK;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return false;
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return false;

  // tcsetattr() succeeds when any part of the request was taken; make sure
  // the speed and the character format were.
  termios applied{};
  if (::tcgetattr(fd_, &applied) != 0) return false;
  constexpr tcflag_t kFormat = CSIZE | PARENB | PARODD | CSTOPB;
  return ::cfgetospeed(&applied) == speed && (applied.c_cflag & kFormat) == (tio.c_cflag & kFormat);
}

bool PosixSerialBackend::getTimeouts(Timeouts& timeouts) {
  if (fd_ < 0) return false;
  timeouts = timeouts_;
  return true;
}

bool PosixSerialBackend::setTimeouts(const Timeouts& timeouts) {
  if (fd_ < 0) return false;
  if (timeouts.readInterval < 0 || timeouts.readTotalMultiplier < 0 || timeouts.readTotalConstant < 0 ||
      timeouts.writeTotalMultiplier < 0 || timeouts.writeTotalConstant < 0) {
    return false;
  }
  timeouts_ = timeouts;
  return true;
}

// Returns at `count` bytes, `readInterval` ms after the last bytes came
// without more, or at the total time-out. Bytes already waiting are taken
// at once; a hang-up only counts as a failure when nothing was read.
int PosixSerialBackend::read(std::uint8_t* buffer, int count) {
  if (fd_ < 0) return -1;
  const Clock::time_point totalDeadline =
      Clock::now() + totalTime(timeouts_.readTotalConstant, timeouts_.readTotalMultiplier, count);
  int got = 0;
  Clock::time_point deadline = totalDeadline;
  while (got < count) {
    const ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(count - got));
    if (n > 0) {
      got += static_cast<int>(n);
      deadline = std::min(totalDeadline, Clock::now() + std::chrono::milliseconds(timeouts_.readInterval));
      continue;
    }
    if (n == 0) return got > 0 ? got : -1;  // end of file: the tty was hung up
    const IoError error = classifyError(errno);
    // A signal interrupted the call before any byte moved; make it again.
    if (error == IoError::Interrupted) continue;
    if (error == IoError::LineGone) return got > 0 ? got : -1;
    const WaitResult waited = waitFor(fd_, POLLIN, deadline, wait_);
    if (waited == WaitResult::TimedOut) break;
    if (waited == WaitResult::LineGone) return got > 0 ? got : -1;
  }
  return got;
}

// Issues the whole buffer within the write time-out, going on after partial
// writes and a full driver buffer until the deadline.
int PosixSerialBackend::write(const std::uint8_t* buffer, int count) {
  if (fd_ < 0) return -1;
  const Clock::time_point deadline =
      Clock::now() + totalTime(timeouts_.writeTotalConstant, timeouts_.writeTotalMultiplier, count);
  int done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, buffer + done, static_cast<size_t>(count - done));
    if (n > 0) {
      done += static_cast<int>(n);
      continue;
    }
    const IoError error = n < 0 ? classifyError(errno) : IoError::WouldBlock;
    // A signal interrupted the call before any byte moved; make it again.
    if (error == IoError::Interrupted) continue;
    if (error == IoError::LineGone) return done > 0 ? done : -1;
    const WaitResult waited = waitFor(fd_, POLLOUT, deadline, wait_);
    if (waited == WaitResult::TimedOut) break;
    if (waited == WaitResult::LineGone) return done > 0 ? done : -1;
  }
  return done;
}

void PosixSerialBackend::close() {
  if (fd_ < 0) return;
  // The exclusive flag belongs to the tty, not to this descriptor, and
  // outlives it while anything else keeps the tty open; clear it so that
  // the next Open of the same device is not refused.
  ::ioctl(fd_, TIOCNXCL);
  ::flock(fd_, LOCK_UN);
  ::close(fd_);  // not retried on EINTR: the descriptor is released either way
  fd_ = -1;
}

}  // namespace

std::unique_ptr<SerialBackend> makePosixSerialBackend(const std::filesystem::path& workDir, LineWait wait) {
  return std::make_unique<PosixSerialBackend>(workDir, std::move(wait));
}

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& workDir) {
  return makePosixSerialBackend(workDir);
}

std::filesystem::path posixDevicePath(const std::filesystem::path& workDir, const std::string& deviceName) {
  const std::filesystem::path entry = workDir / deviceName;
  std::error_code error;
  // An entry of that name wins, even a link that leads nowhere: the user
  // made it for this port, and opening it then fails as a missing device.
  if (std::filesystem::symlink_status(entry, error).type() != std::filesystem::file_type::not_found && !error) {
    return entry;
  }
  constexpr std::string_view kPrefix = "Com";
  const std::string_view name = deviceName;
  int number = 0;
  if (name.substr(0, kPrefix.size()) == kPrefix) {
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size();
    const auto [end, parsed] = std::from_chars(first, last, number);
    if (parsed == std::errc() && end == last && number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
  }
  return entry;  // no serial device for Com0 or below: the open fails
}

}  // namespace korvane
