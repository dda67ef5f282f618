// The home folder on POSIX.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "base/home_folder.h"

namespace korvane {

// $HOME, or the home folder the user database names when it is unset, as
// for a program started by a service rather than a login.
std::filesystem::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return "/";
}

}  // namespace korvane
