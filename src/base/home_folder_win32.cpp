// The home folder on Win32.
#include <cstdlib>

#include "base/home_folder.h"

namespace korvane {

// %USERPROFILE%, which every logon sets; $HOME too for a start from a POSIX
// shell, where it may be the only one.
std::filesystem::path homeFolder() {
  if (const wchar_t* profile = ::_wgetenv(L"USERPROFILE"); profile && *profile) return profile;
  if (const wchar_t* home = ::_wgetenv(L"HOME"); home && *home) return home;
  return "C:\\";
}

}  // namespace korvane
