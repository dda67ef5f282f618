// Korvane's start-up on Windows: the program with the real desktop and
// serial line, the 100 ms timer, the main window's creation handler, the
// window shown collapsed, and the message loop.
#include <windows.h>

#include <clocale>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/startup.h"
#include "comm/comm_control.h"
#include "serial/serial_backend_win32.h"
#include "win32/main_view.h"
#include "win32/win32_desktop.h"

namespace {

// The user's decimal separator, for the texts of the fields; one that is
// not a single ASCII character falls back to the full stop.
char userDecimalSeparator() {
  char separator[8] = {};
  const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  const auto point = static_cast<unsigned char>(separator[0]);
  if (length == 2 && point > 0x20 && point < 0x80) return separator[0];
  return '.';
}

int runProgram(korvane::win32::Win32Desktop& desktop, int showCommand) {
  using namespace korvane;
  // comm.ini lives in the folder the program was started in.
  const std::filesystem::path workDir = ".";
  Program program(
      desktop, [&desktop] { return makeWin32SerialBackend(desktop.lineWait()); }, workDir, userDecimalSeparator());

  // The timer ticks from the window's creation on, also inside the message
  // boxes of start-up; what a tick does depends on the state of the line.
  // A tick that falls due while an operation runs waits for its end.
  win32::OperationGate& gate = desktop.gate();
  gate.startTimer(100, [&program] { guarded(program, [&program] { get_data_timerTimer(program); }); });

  FormCreate(program);
  win32::MainView view(program, gate);
  desktop.setOwner(view.window());
  view.show(showCommand);

  // The program ends inside a handler (File > Exit, closing the window, a
  // port that cannot be opened), never by leaving this loop.
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  endProgram(program, 0);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  // Numbers are turned into text and back with the C library, which must
  // keep the full stop whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  korvane::win32::Win32Desktop desktop;
  try {
    return runProgram(desktop, showCommand);
  } catch (const std::exception& error) {
    desktop.exceptionBox(korvane::exceptionBoxText(error.what()));
    return 0;
  }
}
