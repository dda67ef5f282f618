// The Desktop the Windows program runs on: Win32 message boxes and common
// file dialogs, waits that keep the window alive (through the gate every
// call from the window into the program passes), the performance counter
// and exit.
#pragma once

#include <windows.h>

#include <string>

#include "base/desktop.h"
#include "serial/serial_backend_win32.h"
#include "win32/operation_gate.h"

namespace korvane::win32 {

class Win32Desktop : public Desktop {
 public:
  // The gate every message handler, timer tick and wait goes through.
  OperationGate& gate() { return gate_; }

  // The serial line's waits, kept alive the same way as sleep().
  Win32LineWait lineWait();

  // The window the boxes and dialogs belong to, so that they stay above it
  // and it takes no input while one is open; none before it exists.
  void setOwner(HWND owner) { owner_ = owner; }

  void messageBox(const std::string& text, const std::string& caption) override;
  void exceptionBox(const std::string& message) override;
  std::optional<std::string> openFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  std::optional<std::string> saveFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  // The steady clock, which is the performance counter.
  Moment now() override;
  void sleepUntil(Moment deadline) override;
  [[noreturn]] void exitProcess(int status) override;

 private:
  OperationGate gate_;
  HWND owner_ = nullptr;
};

// The file dialogs' list of file types for an initial name that is a
// pattern such as "*.set": the pattern first, then all files, in the
// zero-separated form the dialogs take; empty for a plain name.
std::wstring nameFilterFor(const std::wstring& initialName);

}  // namespace korvane::win32
