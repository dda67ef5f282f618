// korvane-pty-echo: a pseudo-terminal that sends back every byte written to
// it, for the Win32 port tests under Wine. Prints the terminal's name, then
// echoes until it is killed.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int main() {
  int master = -1;
  int terminal = -1;
  char name[256] = {};
  termios raw{};
  ::cfmakeraw(&raw);
  if (::openpty(&master, &terminal, name, &raw, nullptr) != 0) {
    std::perror("korvane-pty-echo: openpty");
    return 1;
  }
  // The terminal side stays open here too, so that the line does not hang
  // up between two opens by the program under test.
  std::printf("%s\n", name);
  std::fflush(stdout);
  unsigned char buffer[512];
  for (;;) {
    const ssize_t got = ::read(master, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;  // a signal is no reason to stop
    if (got <= 0) return 1;
    for (ssize_t done = 0; done < got;) {
      const ssize_t n = ::write(master, buffer + done, static_cast<size_t>(got - done));
      if (n < 0 && errno == EINTR) continue;  // likewise
      if (n < 0) return 1;
      done += n;
    }
  }
}
