// The exit signals: a handler that only writes the signal's number into a
// pipe (about the only thing a handler may safely do), and a socket notifier
// on the pipe's other end that hands it to the program from the event loop.
#include "ui/exit_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace korvane {
namespace {

constexpr int kExitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Where the handler writes; -1 while no ExitSignals exists.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");

extern "C" void onExitSignal(int signo) {
  const int savedErrno = errno;  // the interrupted code may be about to read it
  const unsigned char number = static_cast<unsigned char>(signo);
  // The pipe does not block: when it is full, signals already wait there.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe.load(), &number, 1);
  errno = savedErrno;
}

bool ignoredAtStart(const struct sigaction& action) {
  return !(action.sa_flags & SA_SIGINFO) && action.sa_handler == SIG_IGN;
}

}  // namespace

struct ExitSignals::Saved {
  int signo;
  struct sigaction action;
};

ExitSignals::ExitSignals(Handler handler) : handler_(std::move(handler)) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot make the pipe for the exit signals");
  }
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
  int none = -1;
  if (!signalPipe.compare_exchange_strong(none, writeEnd_)) {
    ::close(readEnd_);
    ::close(writeEnd_);
    throw std::logic_error("the exit signals are caught already");
  }
  notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { deliver(); });

  for (int signo : kExitSignals) {
    struct sigaction found {};
    ::sigaction(signo, nullptr, &found);
    if (ignoredAtStart(found)) continue;
    struct sigaction caught {};
    caught.sa_handler = onExitSignal;
    sigemptyset(&caught.sa_mask);
    // SA_RESTART spares the toolkit's own calls an EINTR; SA_RESETHAND puts
    // the default back on entry, which makes the second signal final.
    caught.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(signo, &caught, nullptr);
    saved_.push_back({signo, found});
  }
}

ExitSignals::~ExitSignals() {
  for (const Saved& saved : saved_) ::sigaction(saved.signo, &saved.action, nullptr);
  // No handler writes any more once the pipe is forgotten; then it can go.
  signalPipe.store(-1);
  notifier_.reset();
  ::close(readEnd_);
  ::close(writeEnd_);
}

void ExitSignals::deliver() {
  unsigned char numbers[16];
  ssize_t got = 0;
  do {
    got = ::read(readEnd_, numbers, sizeof numbers);
  } while (got < 0 && errno == EINTR);  // another signal came in meanwhile; its number is in the pipe too
  for (ssize_t i = 0; i < got; ++i) handler_(numbers[i]);
}

void endBySignal(int signo) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signo, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signo);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signo);
  // Only for a signal whose default is not to end the process: end the way
  // a shell reports a process killed by it.
  std::_Exit(128 + signo);
}

}  // namespace korvane
