// Starting and stopping korvane-sim for tests.
#include "support/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace korvane::testing {
namespace {

constexpr std::string_view kListening = "korvane-sim: listening on ";

// The emulator the tests were built with, unless KORVANE_SIM names a copy:
// a user who cannot reach the build tree runs the tests from copies.
std::string emulatorBinary(const std::string& built) {
  const char* copy = std::getenv("KORVANE_SIM");
  return copy && *copy ? copy : built;
}

// The child between fork and exec, where only async-signal-safe calls are
// allowed. The emulator must not outlive the test that started it, even one
// killed outright: the kernel kills it when the forking thread ends. A test
// that died before that was asked is seen in the parent's pid, which is then
// no longer the child's parent's. A failed exec sends its errno up `failed`.
[[noreturn]] void becomeEmulator(char* const* argv, pid_t parent, int out, bool withStderr, int failed) {
  if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) ::_exit(127);
  ::dup2(out, STDOUT_FILENO);
  if (withStderr) ::dup2(out, STDERR_FILENO);
  ::execv(argv[0], argv);
  const int error = errno;
  [[maybe_unused]] const ssize_t told = ::write(failed, &error, sizeof error);
  ::_exit(127);
}

// Starts `binary` with stdout (and stderr when asked) into a pipe; returns
// the pid and the reading end.
std::pair<pid_t, int> spawn(const std::string& built, const std::vector<std::string>& args, bool withStderr) {
  const std::string binary = emulatorBinary(built);
  int out[2];
  int failed[2];  // closed by the exec itself when it succeeds
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (::pipe2(failed, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    throw std::runtime_error("pipe failed");
  }
  std::vector<char*> argv{const_cast<char*>(binary.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) becomeEmulator(argv.data(), parent, out[1], withStderr, failed[1]);
  ::close(out[1]);
  ::close(failed[1]);
  int error = 0;
  ssize_t got = 0;
  if (pid > 0) {
    do {
      got = ::read(failed[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);  // a signal is no answer from the child
  }
  ::close(failed[0]);
  if (pid < 0 || got > 0) {
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    ::close(out[0]);
    throw std::runtime_error("cannot start " + binary);
  }
  return {pid, out[0]};
}

int exitStatus(int waitStatus) { return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1; }

}  // namespace

SimProcess::SimProcess(const std::string& binary, const std::vector<std::string>& args,
                       std::chrono::milliseconds ready) {
  std::tie(pid_, out_) = spawn(binary, args, false);
  lines_ = PipeLines(out_);
  listening_ = nextLine(ready);
  if (!listening_.starts_with(kListening)) {
    stop();
    throw std::runtime_error("korvane-sim did not start listening: '" + listening_ + "'");
  }
  const std::string rest = listening_.substr(kListening.size());
  device_ = rest.substr(0, rest.find(' '));
}

SimProcess::~SimProcess() {
  stop();
  if (out_ >= 0) ::close(out_);
}

std::string SimProcess::nextLine(std::chrono::milliseconds timeout) { return lines_.next(timeout); }

int SimProcess::stop() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
  return waitForExit(std::chrono::seconds(5));
}

int SimProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = exitStatus(status);
      pid_ = -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status_;
}

SimRun runSimToEnd(const std::string& binary, const std::vector<std::string>& args) {
  auto [pid, out] = spawn(binary, args, true);
  std::string output;
  char chunk[4096];
  for (ssize_t got; (got = ::read(out, chunk, sizeof chunk)) != 0;) {
    if (got < 0 && errno == EINTR) continue;  // a signal is no end of output
    if (got < 0) break;
    output.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(out);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {exitStatus(status), output};
}

}  // namespace korvane::testing
