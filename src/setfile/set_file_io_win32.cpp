// Set files on disk, Win32: atomic replacement on save, whole-file read on
// load. Both open the file in binary mode, so a set file has the same bytes
// as on POSIX.
#include <windows.h>

#include <cstdio>
#include <string>

#include "setfile/set_file_io.h"

namespace korvane {
namespace {

std::string systemError(const char* what) {
  char text[256] = {};
  const DWORD error = ::GetLastError();
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return std::string(what) + ": " + (message.empty() ? "error " + std::to_string(error) : message);
}

std::optional<std::string> writeAll(HANDLE file, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    DWORD written = 0;
    if (!::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) || written != line.size()) {
      return systemError("writing failed");
    }
  }
  if (!::FlushFileBuffers(file)) return systemError("writing to the disk failed");
  return std::nullopt;
}

}  // namespace

// The temporary file is made with CREATE_NEW under a name of this process,
// and MoveFileExW replaces the target in one step: rename() refuses an
// existing target on Windows.
std::optional<std::string> writeSetFile(const std::filesystem::path& target, const std::vector<std::string>& lines) {
  const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
  const std::filesystem::path temporary =
      directory / ("." + target.filename().string() + "." + std::to_string(::GetCurrentProcessId()) + ".tmp");
  HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return systemError("the file could not be created");
  std::optional<std::string> error = writeAll(file, lines);
  if (!::CloseHandle(file) && !error) error = systemError("closing the file failed");
  if (!error && !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = systemError("the file could not be replaced");
  }
  if (error) ::DeleteFileW(temporary.c_str());
  return error;
}

std::optional<std::string> readSetFile(const std::filesystem::path& path) {
  return readWholeSetFile(::_wfopen(path.c_str(), L"rb"));
}

}  // namespace korvane
