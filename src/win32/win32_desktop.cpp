// Win32Desktop: the program's message boxes, file dialogs, waits and exit.
#include "win32/win32_desktop.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "win32/text_encoding.h"

namespace korvane::win32 {
namespace {

// The longest path the dialogs hand back.
constexpr DWORD kPathChars = 32768;

enum class DialogKind { Open, Save };

}  // namespace

std::wstring nameFilterFor(const std::wstring& initialName) {
  if (initialName.find_first_of(L"*?") == std::wstring::npos) return {};
  // Pairs of a shown name and its pattern, each ending in a zero, and a
  // zero after the last pair.
  std::wstring filter = initialName + L'\0' + initialName + L'\0';
  filter += std::wstring(L"All files (*.*)") + L'\0' + L"*.*" + L'\0';
  return filter;
}

namespace {

std::optional<std::string> runFileDialog(HWND owner, DialogKind kind, const std::string& initialName,
                                         const std::string& defaultExtension) {
  // The initial name ("*.set") stands in the name box; the dialog lists the
  // folder through it as through a filter.
  std::vector<wchar_t> path(kPathChars, L'\0');
  const std::wstring initial = wideFromUtf8(initialName);
  initial.copy(path.data(), std::min<std::size_t>(initial.size(), path.size() - 1));
  const std::wstring extension = wideFromUtf8(defaultExtension);
  const std::wstring filter = nameFilterFor(initial);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathChars;
  // Added by the dialog to a name typed without an extension.
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // The working folder is where comm.ini lives; a dialog must not move it.
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  BOOL chosen = FALSE;
  if (kind == DialogKind::Open) {
    dialog.Flags |= OFN_FILEMUSTEXIST;
    chosen = ::GetOpenFileNameW(&dialog);
  } else {
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    chosen = ::GetSaveFileNameW(&dialog);
  }
  if (!chosen) return std::nullopt;
  return utf8FromWide(path.data());
}

}  // namespace

void Win32Desktop::messageBox(const std::string& text, const std::string& caption) {
  ::MessageBoxW(owner_, wideFromUtf8(text).c_str(), wideFromUtf8(caption).c_str(), MB_OK);
}

void Win32Desktop::exceptionBox(const std::string& message) {
  // The caption is the application's title, which is empty.
  ::MessageBoxW(owner_, wideFromUtf8(message).c_str(), L"", MB_OK | MB_ICONERROR);
}

std::optional<std::string> Win32Desktop::openFileDialog(const std::string& initialName,
                                                        const std::string& defaultExtension) {
  return runFileDialog(owner_, DialogKind::Open, initialName, defaultExtension);
}

std::optional<std::string> Win32Desktop::saveFileDialog(const std::string& initialName,
                                                        const std::string& defaultExtension) {
  return runFileDialog(owner_, DialogKind::Save, initialName, defaultExtension);
}

Desktop::Moment Win32Desktop::now() { return std::chrono::steady_clock::now(); }

void Win32Desktop::sleepUntil(Moment deadline) {
  // The operation waits here for the controller; the gate lets no input in
  // meanwhile, but keeps the window painted and answering.
  gate_.wait(deadline);
}

Win32LineWait Win32Desktop::lineWait() {
  return [this](void* event, std::chrono::steady_clock::time_point deadline) {
    gate_.wait(deadline, static_cast<HANDLE>(event));
  };
}

void Win32Desktop::exitProcess(int status) { std::exit(status); }

}  // namespace korvane::win32
