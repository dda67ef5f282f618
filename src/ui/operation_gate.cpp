// OperationGate: one operation at a time, and waits that keep the window
// alive.
#include "ui/operation_gate.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdint>
#include <stdexcept>

#include "base/precise_wait_posix.h"

namespace korvane {
namespace {

// What the user does to the window. Held while the program waits for the
// controller; repaints, window-manager messages, timers and accessibility
// requests are not among them and go on.
bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

void armTimer(int fd, OperationGate::Clock::time_point deadline) {
  itimerspec timer{};
  timer.it_value = toTimespec(deadline);
  ::timerfd_settime(fd, TFD_TIMER_ABSTIME, &timer, nullptr);
}

void disarmTimer(int fd) {
  const itimerspec none{};
  ::timerfd_settime(fd, 0, &none, nullptr);
  std::uint64_t expirations = 0;
  // Non-blocking: clears an expiry that came while the loop was ending.
  [[maybe_unused]] const ssize_t n = ::read(fd, &expirations, sizeof expirations);
}

// Blocks until `deadline`, or until `fd` (when not -1) is ready for
// `events`, handling no events meanwhile.
void waitInKernel(OperationGate::Clock::time_point deadline, int fd, short events) {
  if (fd < 0) return sleepUntil(deadline);
  // Ready, timed out or failed: the caller looks at the line again.
  pollfd entry{fd, events, 0};
  pollUntil(entry, deadline);
}

}  // namespace

OperationGate::OperationGate()
    : sequence_({.post =
                     [this] {
                       QMetaObject::invokeMethod(
                           this, [this] { sequence_.resume(); }, Qt::QueuedConnection);
                     },
                 .ended =
                     [this] {
                       catchUp();
                       releaseHeldInput();
                     }}) {
  timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ < 0) throw std::runtime_error("no monotonic timer for the waits");
  timerNotifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
  timerNotifier_->setEnabled(false);
  QObject::connect(timerNotifier_.get(), &QSocketNotifier::activated, this, [this] {
    disarmTimer(timerFd_);
    if (loop_ != nullptr) loop_->quit();
  });
  QCoreApplication::instance()->installEventFilter(this);
}

OperationGate::~OperationGate() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  timerNotifier_.reset();
  ::close(timerFd_);
}

void OperationGate::run(std::function<void()> operation) { sequence_.run(std::move(operation)); }

void OperationGate::tick(std::function<void()> tick) { sequence_.tick(std::move(tick)); }

void OperationGate::releaseHeldInput() {
  // Held input goes back into the event queue first, in the order it came,
  // so what the user did during the operation is handled before the held
  // tick runs.
  for (auto& [receiver, event] : heldInput_) {
    if (!receiver) continue;
    // A widget closes itself once its close event comes back accepted, which
    // a posted event cannot do; it is asked to close again instead.
    if (event->type() == QEvent::Close && receiver->isWidgetType()) {
      QMetaObject::invokeMethod(receiver, "close", Qt::QueuedConnection);
      continue;
    }
    QCoreApplication::postEvent(receiver, event.release());
  }
  heldInput_.clear();
}

void OperationGate::wait(Clock::time_point deadline, int fd, short events) {
  if (Clock::now() >= deadline) return;
  // Within the wait, so that it does not hold the frame back.
  catchUp();
  // The event loop comes back a little after its timer has expired (its own
  // dispatch after the kernel's wake-up, a tenth of a millisecond and more
  // when the machine is busy), and every wait of a cell loop would be that
  // much longer. So the loop is woken early and the last stretch is waited
  // for in the kernel, which ends the wait on time.
  const Clock::time_point wakeLoop = deadline - kLastStretch;
  const bool lineReady = Clock::now() < wakeLoop && runEventLoopUntil(wakeLoop, fd, events);
  if (!lineReady) waitInKernel(deadline, fd, events);
  if (!inOperation()) releaseHeldInput();
}

bool OperationGate::runEventLoopUntil(Clock::time_point wakeAt, int fd, short events) {
  QEventLoop loop;
  bool lineReady = false;
  std::unique_ptr<QSocketNotifier> line;
  if (fd >= 0) {
    line = std::make_unique<QSocketNotifier>(fd, (events & POLLOUT) ? QSocketNotifier::Write : QSocketNotifier::Read);
    QObject::connect(line.get(), &QSocketNotifier::activated, &loop, [&loop, &lineReady] {
      lineReady = true;
      loop.quit();
    });
  }
  armTimer(timerFd_, wakeAt);
  timerNotifier_->setEnabled(true);
  loop_ = &loop;
  waiting_ = true;
  // Every event is taken in, input too: the event filter holds the input.
  // Leaving it queued in the window system instead would starve it while
  // the timer's exchanges follow one another, as the window system only
  // hands back what it held when new events of its own come in.
  loop.exec();
  waiting_ = false;
  loop_ = nullptr;
  timerNotifier_->setEnabled(false);
  disarmTimer(timerFd_);
  return lineReady;
}

bool OperationGate::eventFilter(QObject* watched, QEvent* event) {
  if (!waiting_ || !isUserInput(event->type())) return false;
  heldInput_.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
  // A close that is refused for now leaves the window open.
  if (event->type() == QEvent::Close) event->ignore();
  return true;
}

}  // namespace korvane
