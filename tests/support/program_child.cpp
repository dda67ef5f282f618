// Child runs of the program.
#include "support/program_child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace korvane::testing {

void ChildDesktop::messageBox(const std::string& text, const std::string& caption) {
  RealTimeDesktop::messageBox(text, caption);
  note(text);
}

void ChildDesktop::exitProcess(int status) { std::exit(status); }

void ChildDesktop::note(const std::string& text) {
  const std::string line = text + "\n";
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t n = ::write(report_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;  // a signal came in; the line still goes out whole
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

ProgramChild::ProgramChild(const std::function<void(ChildDesktop&)>& run) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  // What the test printed and not yet flushed would otherwise be printed
  // again by the child's exit.
  std::fflush(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::close(ends[0]);
    ChildDesktop desktop(ends[1]);
    try {
      run(desktop);
    } catch (const std::exception& error) {
      desktop.note(std::string("exception: ") + error.what());
    }
    std::_Exit(kRunReturned);
  }
  ::close(ends[1]);
  report_ = ends[0];
  lines_ = PipeLines(report_);
}

ProgramChild::~ProgramChild() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (report_ >= 0) ::close(report_);
}

std::string ProgramChild::nextLine(std::chrono::milliseconds timeout) { return lines_.next(timeout); }

void ProgramChild::signal(int signo) {
  if (pid_ > 0) ::kill(pid_, signo);
}

ChildEnd ProgramChild::finish(std::chrono::milliseconds limit) {
  using namespace std::chrono_literals;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  ChildEnd end;
  int status = 0;
  while (pid_ > 0) {
    // Lines first: a child blocked on a full pipe would never end.
    for (std::string line; !(line = lines_.next(10ms)).empty();) end.shown.push_back(line);
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
    } else if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
      end.shown.push_back("(killed after " + std::to_string(limit.count()) + " ms)");
    } else {
      std::this_thread::sleep_for(5ms);
    }
  }
  // The rest, up to the end of the pipe, which came with the child's end.
  for (std::string line; !(line = lines_.next(100ms)).empty();) end.shown.push_back(line);
  if (WIFEXITED(status)) end.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

}  // namespace korvane::testing
