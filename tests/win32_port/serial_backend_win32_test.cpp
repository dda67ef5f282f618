// The Win32 backend on real COM ports. scripts/test-windows maps them in Wine
// to pseudo-terminals and names them here by number: KORVANE_COM_SIM reaches
// the emulator, KORVANE_COM_ECHO a peer that sends back every byte it gets,
// and KORVANE_COM_HIGH (10 or above) the same peer. Without them the tests
// skip themselves, as on a machine with no serial line. Every test runs with
// the device opened for synchronous transfers and again for overlapped ones
// waited for through a wait of the test's own, as the window's gate does.
#include "serial/serial_backend_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "serial/serial_port.h"
#include "support/line_bytes.h"
#include "support/real_time_desktop.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::Bytes;
using testing::RealTimeDesktop;

std::optional<int> portFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::atoi(value);
}

// Wine's serial ports differ from Windows' in a few ways; the tests of those
// skip themselves there.
bool underWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

enum class Transfers { Synchronous, Overlapped };

class Win32PortTest : public ::testing::TestWithParam<Transfers> {
 protected:
  // An overlapped transfer's wait as the window's gate does it, counted:
  // until the event or the deadline, in pieces, as a wait that returns early
  // for the window's messages does.
  std::unique_ptr<SerialBackend> makeBackend() {
    if (GetParam() == Transfers::Synchronous) return makeWin32SerialBackend();
    return makeWin32SerialBackend([this](void* event, Clock::time_point deadline) {
      ++waits_;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      ::WaitForSingleObject(static_cast<HANDLE>(event), static_cast<DWORD>(std::clamp<long long>(left, 0, 10)));
    });
  }

  // A SerialPort on port `number`, opened with the program's settings.
  SerialPort& openPort(int number) {
    port_.PortNumber = number;
    port_.BaudRate = 19200;
    EXPECT_TRUE(port_.Open()) << "port " << number;
    EXPECT_TRUE(desktop_.messages.empty());
    return port_;
  }

  int requirePort(const char* variable) {
    const std::optional<int> number = portFromEnvironment(variable);
    if (!number) ADD_FAILURE() << "internal: skipped above";
    return number.value_or(0);
  }

  void TearDown() override { port_.Close(); }

  RealTimeDesktop desktop_;
  int waits_ = 0;
  SerialPort port_{desktop_, [this] { return makeBackend(); }};
};

#define KORVANE_NEEDS_PORT(variable) \
  if (!portFromEnvironment(variable)) GTEST_SKIP() << variable " names no COM port mapped to a line"

TEST_P(Win32PortTest, OpensConfiguresAndOpensAgainAfterClose) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  const int number = requirePort("KORVANE_COM_SIM");
  ASSERT_TRUE(openPort(number).IsOpen);
  port_.Close();
  EXPECT_FALSE(port_.holdsHandle());
  EXPECT_TRUE(openPort(number).IsOpen) << "the handle was released by Close";
}

TEST_P(Win32PortTest, TheLineSettingsAndTimeOutsAreTakenByTheDevice) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  auto backend = makeBackend();
  ASSERT_TRUE(backend->open(SerialPort::deviceName(requirePort("KORVANE_COM_SIM"))));
  ASSERT_TRUE(backend->setQueues(2048, 2048));
  LineSettings line;
  ASSERT_TRUE(backend->getLineSettings(line));
  line.baudRate = 19200;
  line.byteSize = 8;
  line.parity = 0;
  line.stopBits = 0;
  line.abortOnError = true;
  ASSERT_TRUE(backend->setLineSettings(line));
  ASSERT_TRUE(backend->setTimeouts(Timeouts{5, 1, 5, 1, 5}));

  LineSettings applied;
  ASSERT_TRUE(backend->getLineSettings(applied));
  EXPECT_EQ(applied.baudRate, 19200);
  EXPECT_EQ(applied.byteSize, 8);
  EXPECT_EQ(applied.parity, 0);
  EXPECT_EQ(applied.stopBits, 0);
  Timeouts timeouts;
  ASSERT_TRUE(backend->getTimeouts(timeouts));
  EXPECT_EQ(timeouts.readInterval, 5);
  EXPECT_EQ(timeouts.readTotalMultiplier, 1);
  EXPECT_EQ(timeouts.readTotalConstant, 5);
  EXPECT_EQ(timeouts.writeTotalMultiplier, 1);
  EXPECT_EQ(timeouts.writeTotalConstant, 5);
  if (underWine()) GTEST_SKIP() << "Wine does not keep abort-on-error";
  EXPECT_TRUE(applied.abortOnError);
}

TEST_P(Win32PortTest, TheEmulatorAnswersIdentify) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  SerialPort& port = openPort(requirePort("KORVANE_COM_SIM"));
  const Bytes identify = testing::frame('R');
  EXPECT_FALSE(port.Write(identify.data(), static_cast<std::int32_t>(identify.size())));
  std::uint8_t reply[kReadBlockSize] = {};
  std::int32_t count = 0;
  EXPECT_FALSE(port.ReadBlock(reply, count));
  EXPECT_EQ(std::vector<std::uint8_t>(reply, reply + count), (std::vector<std::uint8_t>{0x02, 0x05, 'R', 0x22, 0x28}))
      << "the emulator's own revision";
}

TEST_P(Win32PortTest, AReadWithNothingArrivingEndsAtItsTotalTimeOut) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  SerialPort& port = openPort(requirePort("KORVANE_COM_SIM"));
  std::uint8_t buffer[kReadBlockSize];
  std::int32_t count = -1;
  const Clock::time_point start = Clock::now();
  EXPECT_TRUE(port.ReadBlock(buffer, count));
  const long long took = msSince(start);
  EXPECT_EQ(count, 0);
  EXPECT_GE(took, 95) << "5 ms + 1 ms for each of 100 bytes";
  EXPECT_LE(took, 160);
  if (GetParam() == Transfers::Overlapped) {
    EXPECT_GT(waits_, 0) << "the thread waited through the wait it was given";
  }
}

TEST_P(Win32PortTest, AReplyAlreadyWaitingComesBackSoonAfterItsLastByte) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  SerialPort& port = openPort(requirePort("KORVANE_COM_SIM"));
  const Bytes identify = testing::frame('R');
  port.Write(identify.data(), static_cast<std::int32_t>(identify.size()));
  std::this_thread::sleep_for(60ms);
  std::uint8_t buffer[kReadBlockSize];
  std::int32_t count = 0;
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(port.ReadBlock(buffer, count));
  const long long took = msSince(start);
  EXPECT_EQ(count, 5);
  EXPECT_LE(took, 40) << "the interval time-out ends it, not the total one";
}

TEST_P(Win32PortTest, EveryByteValuePassesBothWays) {
  KORVANE_NEEDS_PORT("KORVANE_COM_ECHO");
  SerialPort& port = openPort(requirePort("KORVANE_COM_ECHO"));
  std::vector<std::uint8_t> sent(256);
  for (int i = 0; i < 256; ++i) sent[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  // In pieces the write time-out allows at 19200 baud (about 2 bytes a ms).
  for (std::size_t at = 0; at < sent.size(); at += 8) port.Write(sent.data() + at, 8);

  std::vector<std::uint8_t> received;
  const Clock::time_point start = Clock::now();
  while (received.size() < sent.size() && msSince(start) < 3000) {
    std::uint8_t buffer[kReadBlockSize];
    std::int32_t count = 0;
    port.ReadBlock(buffer, count);
    received.insert(received.end(), buffer, buffer + count);
  }
  EXPECT_EQ(received, sent);
}

TEST_P(Win32PortTest, APortNumberOfTenOrMoreIsReached) {
  KORVANE_NEEDS_PORT("KORVANE_COM_HIGH");
  const int number = requirePort("KORVANE_COM_HIGH");
  ASSERT_GE(number, 10);
  SerialPort& port = openPort(number);
  const std::uint8_t probe[] = {0x00, 0x11, 0x13, 0xff};
  port.Write(probe, 4);
  std::this_thread::sleep_for(30ms);
  std::uint8_t buffer[kReadBlockSize];
  std::int32_t count = 0;
  port.ReadBlock(buffer, count);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + count), std::vector<std::uint8_t>(probe, probe + 4));
}

TEST_P(Win32PortTest, AMissingPortFailsAtTheOpenStep) {
  port_.PortNumber = 200;
  port_.BaudRate = 19200;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(port_.Open());
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(desktop_.messageTexts(), std::vector<std::string>{"Bad ComPort"});
  EXPECT_FALSE(port_.IsOpen);
  EXPECT_FALSE(port_.holdsHandle());
  EXPECT_NE(said.find("\\\\.\\COM200"), std::string::npos) << said;
}

TEST_P(Win32PortTest, APortHeldOpenIsRefusedToASecondOpener) {
  KORVANE_NEEDS_PORT("KORVANE_COM_SIM");
  if (underWine()) GTEST_SKIP() << "Wine shares a COM port opened for exclusive use";
  const int number = requirePort("KORVANE_COM_SIM");
  openPort(number);
  auto second = makeBackend();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(second->open(SerialPort::deviceName(number)));
  ::testing::internal::GetCapturedStderr();
}

INSTANTIATE_TEST_SUITE_P(BothTransfers, Win32PortTest, ::testing::Values(Transfers::Synchronous, Transfers::Overlapped),
                         [](const ::testing::TestParamInfo<Transfers>& info) {
                           return info.param == Transfers::Synchronous ? "Synchronous" : "Overlapped";
                         });

}  // namespace
}  // namespace korvane
