// A device the POSIX backend cannot open: the message box says only "Bad
// ComPort", and one line on standard error names the device and the
// system's reason, with what to do about it.
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "serial/serial_backend_posix.h"
#include "serial/serial_port.h"
#include "support/headless_program.h"
#include "support/recording_desktop.h"

namespace korvane {
namespace {

using testing::RecordingDesktop;
using testing::TempDir;

class PortOpenFailure : public ::testing::Test {
 protected:
  // Opens port `number` and returns what it wrote on standard error; the
  // open must fail with "Bad ComPort" and nothing else.
  std::string failedOpen(std::int32_t number) {
    SerialPort port(desktop_, [this] { return makePosixSerialBackend(dir_.path()); });
    port.PortNumber = number;
    ::testing::internal::CaptureStderr();
    const bool opened = port.Open();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(opened);
    EXPECT_EQ(desktop_.messageTexts(), std::vector<std::string>{"Bad ComPort"});
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.back(), '\n');
    return said;
  }
  std::string link(const char* name) const { return (dir_.path() / name).string(); }

  TempDir dir_;
  RecordingDesktop desktop_;
};

TEST_F(PortOpenFailure, AMissingAdapterNamesTheLinkItsTargetAndHowToRelink) {
  std::filesystem::create_symlink("/dev/ttyUSB-unplugged", dir_.path() / "Com1");
  const std::string said = failedOpen(1);
  const std::string expected =
      "korvane: cannot open Com1 (" + link("Com1") + " -> /dev/ttyUSB-unplugged): " + std::strerror(ENOENT) + "; ";
  EXPECT_EQ(said.rfind(expected, 0), 0u) << said;
  EXPECT_NE(said.find("ln -sfn /dev/serial/by-id/"), std::string::npos) << said;
}

TEST_F(PortOpenFailure, WithoutALinkTheSerialDeviceIsNamedAndTheLinkItWants) {
  const std::string said = failedOpen(200);
  EXPECT_EQ(said.rfind("korvane: cannot open Com200 (/dev/ttyS199): ", 0), 0u) << said;
  EXPECT_NE(said.find(std::strerror(ENOENT)), std::string::npos) << said;
  EXPECT_NE(said.find(" " + link("Com200") + "\n"), std::string::npos) << said;
}

TEST_F(PortOpenFailure, PermissionDeniedNamesTheGroupToJoin) {
  // Root passes every permission check; this runs as a normal user.
  if (::geteuid() == 0) GTEST_SKIP() << "root opens any device";
  const auto device = dir_.path() / "ttyUSB0";
  std::ofstream(device) << "";
  std::filesystem::permissions(device, std::filesystem::perms::none);
  std::filesystem::create_symlink(device, dir_.path() / "Com1");
  const group* own = ::getgrgid(::getegid());
  ASSERT_NE(own, nullptr);
  const std::string said = failedOpen(1);
  EXPECT_NE(said.find(std::string("): ") + std::strerror(EACCES) + "; "), std::string::npos) << said;
  EXPECT_NE(said.find(std::string("usermod -aG ") + own->gr_name + " $USER"), std::string::npos) << said;
  EXPECT_NE(said.find("log in again"), std::string::npos) << said;
}

TEST_F(PortOpenFailure, ADeviceHeldElsewhereSaysSo) {
  int master = -1;
  int slave = -1;
  char name[128] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  std::filesystem::create_symlink(name, dir_.path() / "Com1");
  // Another program holds it as the port would: exclusive and locked. A
  // normal user's open is refused by the kernel, root's by the lock.
  ::ioctl(slave, TIOCEXCL);
  ASSERT_EQ(::flock(slave, LOCK_EX | LOCK_NB), 0);
  const std::string said = failedOpen(1);
  EXPECT_TRUE(said.find("another program") != std::string::npos) << said;
  ::ioctl(slave, TIOCNXCL);
  ::close(slave);
  ::close(master);
}

}  // namespace
}  // namespace korvane
