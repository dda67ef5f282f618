// Conversions between the program's UTF-8 and the window system's UTF-16.
#include "win32/text_encoding.h"

#include <windows.h>

namespace korvane::win32 {

std::wstring wideFromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), wide);
  return result;
}

std::string utf8FromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int narrow = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), narrow, nullptr, nullptr);
  return result;
}

}  // namespace korvane::win32
