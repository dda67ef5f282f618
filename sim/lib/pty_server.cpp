// The pseudo-terminal loop: one thread, one ppoll() on the master side.
#include "sim/lib/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <stdexcept>
#include <system_error>

namespace korvane::sim {
namespace {

constexpr std::size_t kReadChunk = 256;
constexpr long long kRetryWriteUs = 1000;  // a full master queue is polled again this soon

std::runtime_error systemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

void setCloseOnExec(int fd) { ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC); }

std::string hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char digits[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, " %02x", b);
    text += digits;
  }
  return text;
}

timespec toTimespec(long long us) {
  if (us < 0) us = 0;
  return timespec{static_cast<time_t>(us / 1'000'000), static_cast<long>(us % 1'000'000) * 1000};
}

}  // namespace

PtyServer::PtyServer(const Options& options)
    : controller_(options.memory, options.junkSeed),
      link_(options.link),
      verbose_(options.verbose),
      start_(std::chrono::steady_clock::now()) {
  controller_.faults() = options.faults;
  if (options.heldEngine) controller_.holdLiveData(*options.heldEngine);
}

PtyServer::~PtyServer() {
  removeLink();
  closeLine();
}

void PtyServer::open() {
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw systemError("cannot open a pseudo-terminal");
  deviceName_ = name;
  setCloseOnExec(master_);
  setCloseOnExec(slave_);
  // Raw from the start: no echo, no line editing, every byte value passes,
  // even before the tool sets the line up itself.
  termios tio{};
  if (::tcgetattr(slave_, &tio) != 0) throw systemError("cannot read the terminal settings");
  ::cfmakeraw(&tio);
  ::cfsetispeed(&tio, B19200);
  ::cfsetospeed(&tio, B19200);
  tio.c_cflag |= CLOCAL | CREAD;
  if (::tcsetattr(slave_, TCSANOW, &tio) != 0) throw systemError("cannot set the terminal to raw mode");
  if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
    throw systemError("cannot make the line non-blocking");
  }
  makeLink();
}

// An existing symbolic link (left by an earlier run) is replaced; anything
// else at that path is someone's file and is left alone.
void PtyServer::makeLink() {
  if (!link_) return;
  std::error_code error;
  const auto status = std::filesystem::symlink_status(*link_, error);
  if (std::filesystem::is_symlink(status)) {
    std::filesystem::remove(*link_, error);
  } else if (std::filesystem::exists(status)) {
    throw std::runtime_error("will not replace " + link_->string() + ": it is not a symbolic link");
  }
  std::filesystem::create_symlink(deviceName_, *link_, error);
  if (error) throw std::runtime_error("cannot create the link " + link_->string() + ": " + error.message());
  linkMade_ = true;
}

// Only our own link goes: if someone has pointed the path elsewhere since,
// it is theirs now.
void PtyServer::removeLink() {
  if (!linkMade_) return;
  linkMade_ = false;
  std::error_code error;
  if (std::filesystem::read_symlink(*link_, error) == deviceName_ && !error) std::filesystem::remove(*link_, error);
}

void PtyServer::closeLine() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

long long PtyServer::nowUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_).count();
}

void PtyServer::serve(const volatile std::sig_atomic_t& stop, const sigset_t* waitMask, std::ostream& log) {
  bool hungUp = false;
  while (!stop && !hungUp) {
    keepFlooding();
    std::optional<long long> wakeUs = output_.nextDueUs();
    if (writeBlocked_) wakeUs = nowUs() + kRetryWriteUs;
    // A dropped line hangs up only once its last reply is out.
    if (const auto hangUpMs = controller_.hangUpAtMs(); hangUpMs && output_.empty()) {
      hungUp = nowUs() >= *hangUpMs * 1000;
      if (hungUp) break;
      wakeUs = *hangUpMs * 1000;
    }
    pollfd fd{master_, POLLIN, 0};
    const timespec timeout = toTimespec(wakeUs.value_or(0) - nowUs());
    const int ready = ::ppoll(&fd, 1, wakeUs ? &timeout : nullptr, waitMask);
    if (ready < 0 && errno != EINTR) throw systemError("poll on the line failed");
    // We hold a slave descriptor ourselves, so the master never sees a
    // hang-up from the tool; if it does, the terminal is gone.
    if (ready > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL))) throw std::runtime_error("the terminal went away");
    if (ready > 0 && (fd.revents & POLLIN)) receive(log);
    transmit();
  }
  if (hungUp) {
    log << "korvane-sim: line dropped after " << *controller_.faults().dropAfterFrames << " frames" << std::endl;
  }
  removeLink();
  closeLine();
}

void PtyServer::receive(std::ostream& log) {
  std::uint8_t buffer[kReadChunk];
  const ssize_t got = ::read(master_, buffer, sizeof buffer);
  if (got <= 0) return;  // EAGAIN or EINTR: the next poll tells again
  const long long nowMs = nowUs() / 1000;
  const auto chunks = controller_.feed(std::span(buffer, static_cast<std::size_t>(got)), nowMs);
  for (const ReplyChunk& chunk : chunks) output_.add(chunk);
  if (verbose_) logTraffic(log, chunks);
}

void PtyServer::transmit() {
  writeBlocked_ = false;
  const Bytes due = output_.due(nowUs());
  if (due.empty()) return;
  const ssize_t written = ::write(master_, due.data(), due.size());
  if (written > 0) output_.consume(static_cast<std::size_t>(written));
  if (written < static_cast<ssize_t>(due.size())) writeBlocked_ = true;
}

// Tops the flood up while only a few of its bytes are left to go, so the
// line never pauses and the queue of bytes stays short.
void PtyServer::keepFlooding() {
  if (controller_.flooding() && output_.size() < kFloodChunkBytes / 2) {
    output_.add(controller_.floodChunk(nowUs() / 1000));
  }
}

void PtyServer::logTraffic(std::ostream& log, const std::vector<ReplyChunk>& chunks) {
  const auto seconds = [](long long ms) { return static_cast<double>(ms) / 1e3; };
  const auto& frames = controller_.frames();
  if (controller_.discardedBytes() != discardedLogged_) {
    log << "korvane-sim: " << std::fixed << std::setprecision(3) << seconds(nowUs() / 1000) << " discarded "
        << controller_.discardedBytes() - discardedLogged_ << " byte(s) that start no frame\n";
    discardedLogged_ = controller_.discardedBytes();
  }
  for (; framesLogged_ < frames.size(); ++framesLogged_) {
    const ReceivedFrame& frame = frames[framesLogged_];
    log << "korvane-sim: " << std::fixed << std::setprecision(3) << seconds(frame.atMs) << " <- '" << frame.letter()
        << "'" << hex(frame.bytes) << "\n";
  }
  const auto& ignored = controller_.ignoredFrames();
  for (; ignoredLogged_ < ignored.size(); ++ignoredLogged_) {
    const ReceivedFrame& frame = ignored[ignoredLogged_];
    log << "korvane-sim: " << std::fixed << std::setprecision(3) << seconds(frame.atMs) << " ignored '"
        << frame.letter() << "'" << hex(frame.bytes) << " (the line is going down)\n";
  }
  for (const ReplyChunk& chunk : chunks) {
    log << "korvane-sim: " << std::fixed << std::setprecision(3) << seconds(chunk.atMs) << " ->" << hex(chunk.bytes)
        << "\n";
  }
  log.flush();
}

}  // namespace korvane::sim
