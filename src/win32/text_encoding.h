// The program's texts are UTF-8; the window system's wide calls take UTF-16.
#pragma once

#include <string>

namespace korvane::win32 {

std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

}  // namespace korvane::win32
