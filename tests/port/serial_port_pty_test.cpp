// SerialPort on the POSIX backend over a real pseudo-terminal: the test
// plays the controller on the master side; the port opens the slave through
// a Com<n> link in a temporary working directory.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <numeric>
#include <thread>
#include <vector>

#include "serial/serial_backend_posix.h"
#include "serial/serial_port.h"
#include "support/headless_program.h"
#include "support/line_bytes.h"
#include "support/recording_desktop.h"

namespace korvane {
namespace {

using Clock = std::chrono::steady_clock;
using testing::Bytes;
using testing::RecordingDesktop;
using testing::TempDir;

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// CPU time this thread has used, in microseconds.
long long threadCpuUs() {
  timespec used{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return static_cast<long long>(used.tv_sec) * 1'000'000 + used.tv_nsec / 1000;
}

class PortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    char slaveName[128] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, slaveName, nullptr, nullptr), 0);
    termios raw{};
    ASSERT_EQ(::tcgetattr(slave_, &raw), 0);
    ::cfmakeraw(&raw);  // like a serial device, no echo or line editing before the port takes it
    ASSERT_EQ(::tcsetattr(slave_, TCSANOW, &raw), 0);
    std::filesystem::create_symlink(slaveName, dir_.path() / "Com1");
    port_.PortNumber = 1;
    port_.BaudRate = 19200;
  }
  void TearDown() override {
    port_.Close();
    closeMaster();
    ::close(slave_);
  }

  SerialPort makePort() {
    return SerialPort(desktop_, [this] {
      ++backendsMade_;
      return makePosixSerialBackend(dir_.path());
    });
  }
  void send(const Bytes& bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  // What the port wrote, as far as it arrives within a second.
  Bytes receive(std::size_t count) {
    Bytes got(count);
    std::size_t done = 0;
    while (done < count) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 1000) <= 0) break;
      const ssize_t n = ::read(master_, got.data() + done, count - done);
      if (n <= 0) break;
      done += std::size_t(n);
    }
    got.resize(done);
    return got;
  }
  // One ReadBlock: the bytes it brought, checking its result agrees.
  Bytes readBlock() {
    std::uint8_t block[kReadBlockSize];
    std::int32_t count = -1;
    const bool nothingRead = port_.ReadBlock(block, count);
    EXPECT_EQ(nothingRead, count == 0);
    return Bytes(block, block + std::max(count, 0));
  }
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  TempDir dir_;
  RecordingDesktop desktop_;
  int master_ = -1;
  int slave_ = -1;
  int backendsMade_ = 0;
  SerialPort port_ = makePort();
};

Bytes iota(std::size_t count, std::uint8_t first = 0) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

TEST_F(PortOnPty, NamesNumbersAndTheClosedPort) {
  EXPECT_EQ(SerialPort::deviceName(255), "Com255");
  EXPECT_EQ(posixDevicePath(dir_.path(), "Com255"), "/dev/ttyS254");
  EXPECT_EQ(posixDevicePath(dir_.path(), "Com1"), dir_.path() / "Com1");
  EXPECT_EQ(posixDevicePath(dir_.path(), "Com0"), dir_.path() / "Com0");
  for (std::int32_t number : {256, -100}) {
    port_.PortNumber = number;
    EXPECT_FALSE(port_.Open()) << number;
  }
  EXPECT_EQ(backendsMade_, 0);
  ASSERT_EQ(desktop_.messages.size(), 2u);
  for (const auto& m : desktop_.messages) EXPECT_EQ(m.text + "|" + m.caption, "Invalid ComPort|ERROR");

  // Nothing moves on a port that is not open, even with bytes waiting.
  send({1, 2, 3});
  std::uint8_t byte = 0;
  EXPECT_TRUE(port_.ReadByte(byte));
  EXPECT_TRUE(readBlock().empty());
  EXPECT_TRUE(port_.Write(&byte, 1));
  EXPECT_FALSE(port_.IsOpen);
}

TEST_F(PortOnPty, DevicesThatCannotBeUsedAreRefusedAtTheirStep) {
  std::filesystem::create_symlink(dir_.path() / "nothing", dir_.path() / "Com2");
  std::ofstream(dir_.path() / "Com3") << "not a terminal";
  SerialPort other = makePort();
  port_.PortNumber = other.PortNumber = 2;
  EXPECT_FALSE(port_.Open());
  EXPECT_FALSE(port_.holdsHandle());

  // A plain file opens but has no line settings; it stays held until Close.
  port_.PortNumber = other.PortNumber = 3;
  EXPECT_FALSE(port_.Open());
  EXPECT_TRUE(port_.holdsHandle());
  EXPECT_FALSE(other.Open());
  port_.Close();
  EXPECT_FALSE(port_.holdsHandle());
  EXPECT_FALSE(other.Open());
  EXPECT_FALSE(port_.IsOpen || other.IsOpen);
  EXPECT_EQ(desktop_.messageTexts(), (std::vector<std::string>{"Bad ComPort", "Control block param = 0", "Bad ComPort",
                                                               "Control block param = 0"}));
}

TEST_F(PortOnPty, OneOpenerAtATimeAndReopenAfterClose) {
  SerialPort other = makePort();
  ASSERT_TRUE(port_.Open());
  EXPECT_FALSE(other.Open());
  EXPECT_EQ(desktop_.messageTexts(), std::vector<std::string>{"Bad ComPort"});
  port_.Close();
  EXPECT_TRUE(other.Open());
  other.Close();
  EXPECT_TRUE(port_.Open());
  EXPECT_FALSE(port_.Write(iota(3).data(), 3));
  EXPECT_EQ(receive(3), iota(3));
}

TEST_F(PortOnPty, OpenMakesARaw19200Baud8N1Line) {
  termios cooked{};
  ASSERT_EQ(::tcgetattr(slave_, &cooked), 0);
  cooked.c_iflag |= ICRNL | IXON | IXOFF | ISTRIP;
  cooked.c_oflag |= OPOST | ONLCR;
  cooked.c_lflag |= ICANON | ECHO | ISIG;
  cooked.c_cflag = (cooked.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
  ::cfsetspeed(&cooked, B9600);
  ASSERT_EQ(::tcsetattr(slave_, TCSANOW, &cooked), 0);

  ASSERT_TRUE(port_.Open());
  termios line{};
  ASSERT_EQ(::tcgetattr(slave_, &line), 0);
  EXPECT_EQ(::cfgetispeed(&line), speed_t(B19200));
  EXPECT_EQ(::cfgetospeed(&line), speed_t(B19200));
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), tcflag_t(CS8 | CLOCAL | CREAD));
  EXPECT_EQ(line.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

TEST_F(PortOnPty, StaleInputIsDrainedAndLaterRepliesComeBackWhole) {
  send(iota(30, 100));
  ASSERT_TRUE(port_.Open());
  EXPECT_TRUE(readBlock().empty());
  send(iota(20));
  EXPECT_EQ(readBlock(), iota(20));
  // Two replies waiting (an identify reply and a 20-byte one) come back together.
  send(iota(5, 50));
  send(iota(20, 60));
  EXPECT_EQ(readBlock().size(), 25u);
}

TEST_F(PortOnPty, ReadsKeepTheirTimeouts) {
  ASSERT_TRUE(port_.Open());
  auto start = Clock::now();
  EXPECT_TRUE(readBlock().empty());
  EXPECT_GE(msSince(start), 105);
  EXPECT_LE(msSince(start), 155);
  std::uint8_t byte = 0;
  start = Clock::now();
  EXPECT_TRUE(port_.ReadByte(byte));
  EXPECT_GE(msSince(start), 6);
  EXPECT_LE(msSince(start), 56);

  // A pause longer than the interval splits a reply in two reads.
  send(iota(6));
  std::thread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    send(iota(4, 6));
  });
  EXPECT_EQ(readBlock(), iota(6));
  EXPECT_EQ(readBlock(), iota(4, 6));
  late.join();
}

TEST_F(PortOnPty, EveryByteValuePassesUntranslatedBothWays) {
  ASSERT_TRUE(port_.Open());
  const Bytes all = iota(256);
  EXPECT_FALSE(port_.Write(all.data(), 256));
  EXPECT_EQ(receive(256), all);
  send(all);
  Bytes read;
  for (Bytes block = readBlock(); !block.empty(); block = readBlock())
    read.insert(read.end(), block.begin(), block.end());
  EXPECT_EQ(read, all);
}

TEST_F(PortOnPty, AVanishedLineReadsAsSilenceWithoutWaiting) {
  ASSERT_TRUE(port_.Open());
  closeMaster();
  const auto start = Clock::now();
  EXPECT_TRUE(readBlock().empty());
  std::uint8_t byte = 0;
  EXPECT_TRUE(port_.ReadByte(byte));
  EXPECT_FALSE(port_.Write(&byte, 1));
  EXPECT_LT(msSince(start), 100);
}

// The controller's side goes away while a read is waiting for a reply: the
// read ends at once instead of waiting out its time-out, and neither it nor
// the reads and writes after it spin on the dead line.
TEST_F(PortOnPty, AHangUpDuringAReadEndsItAtOnceWithoutSpinning) {
  ASSERT_TRUE(port_.Open());
  std::thread hangUp([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    closeMaster();
  });
  const long long cpuBefore = threadCpuUs();
  const auto start = Clock::now();
  EXPECT_TRUE(readBlock().empty());
  const long long waited = msSince(start);
  hangUp.join();
  EXPECT_GE(waited, 25);
  EXPECT_LT(waited, 80) << "the read waited for its time-out on a line that had gone";
  std::uint8_t byte = 0;
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(readBlock().empty());
    EXPECT_FALSE(port_.Write(&byte, 1));
  }
  EXPECT_LT(msSince(start), 150);
  EXPECT_LT(threadCpuUs() - cpuBefore, 50'000) << "CPU time spent on a dead line";
}

}  // namespace
}  // namespace korvane
