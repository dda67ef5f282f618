// korvane-sim: the emulated controller on a pseudo-terminal.
#include <csignal>
#include <iostream>
#include <string_view>
#include <vector>

#include "sim/lib/options.h"
#include "sim/lib/pty_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

// SIGINT and SIGTERM stay blocked except inside the server's ppoll(), so a
// signal can never slip in between checking the flag and going to sleep.
sigset_t installStopSignals() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);  // a closed stdout must not end the line
  sigset_t stops, previous;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigprocmask(SIG_BLOCK, &stops, &previous);
  sigdelset(&previous, SIGINT);
  sigdelset(&previous, SIGTERM);
  return previous;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvane::sim;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  Options options;
  try {
    options = parseOptions(args);
  } catch (const UsageError& e) {
    std::cerr << "korvane-sim: " << e.what() << "\nTry 'korvane-sim --help'.\n";
    return 2;
  }
  if (options.help) {
    std::cout << usageText();
    return 0;
  }
  const sigset_t waitMask = installStopSignals();
  try {
    PtyServer server(options);
    server.open();
    std::cout << "korvane-sim: listening on " << server.deviceName();
    if (options.link) std::cout << " (linked as " << options.link->string() << ")";
    std::cout << std::endl;
    server.serve(stopRequested, &waitMask, std::cout);
  } catch (const std::exception& e) {
    std::cerr << "korvane-sim: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
