// The program-wide state: the one serial port, the controller mirror, the
// communication state and the main window. It lives for the whole run; the
// handlers are plain functions that take it. A test builds a fresh one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/comm_state.h"
#include "base/controller_settings.h"
#include "base/desktop.h"
#include "base/live_data_sink.h"
#include "serial/serial_port.h"
#include "window/main_window.h"

namespace korvane {

struct Program {
  Program(Desktop& desktop, SerialPort::BackendFactory backendFactory, std::filesystem::path workDir = ".",
          char decimalSeparator = '.');

  Desktop& desktop;
  std::filesystem::path workDir;  // where comm.ini and the Com<n> links live
  char decimalSeparator;          // the user's, for field texts

  SerialPort ControllerPort;
  korvane::ControllerSettings ControllerSettings;
  korvane::CommState CommState = korvane::CommState::Idle;
  bool ReplyReceived = false;
  std::int32_t SelectedPort = 0;
  std::int32_t ConnectAttempts = 0;
  std::int32_t LastMapCursorOffset = 1;
  std::int32_t LastRpmCursorOffset = 1;

  // The cell address of the last accepted 'E' or 'e' reply, so that a save
  // can tell a reply for the cell it asked for from a stray one.
  std::int32_t LastCellAddress = -1;

  // The letter of the last accepted reply, so that a sender can tell the echo
  // of its own command from a late reply to an earlier one.
  char LastReplyLetter = '\0';

  // How many handlers that talk to the controller are unfinished. Timer ticks
  // that fall due meanwhile (inside their message boxes) do nothing, so no
  // serial exchange ever starts inside another.
  int controllerBusy = 0;

  TFrm_Mapping Frm_Mapping;

  // Hears of the live data besides the window (the data log); none in a
  // program without one. Declared after the window, so it goes first.
  std::unique_ptr<LiveDataSink> liveDataSink;
};

// What has to happen before the process ends, by any way out: what the data
// log still holds goes to its file, and ControllerPort is closed, so that its
// device is no longer reserved for exclusive use. A terminal keeps that
// reservation for as long as anything else still holds it open (another user
// of the adapter, an emulator), and would refuse the next start to anyone but
// root.
void beforeProgramEnds(Program& program);

// File > Exit, closing the window and the abort after a port that cannot be
// opened all end the program here: beforeProgramEnds, then the process ends
// with `status` (Desktop::exitProcess, which never returns).
void endProgram(Program& program, int status);

// Marks a handler that talks to the controller for as long as it runs.
class ControllerBusy {
 public:
  explicit ControllerBusy(Program& program) : program_(program) { ++program_.controllerBusy; }
  ~ControllerBusy() { --program_.controllerBusy; }
  ControllerBusy(const ControllerBusy&) = delete;
  ControllerBusy& operator=(const ControllerBusy&) = delete;

 private:
  Program& program_;
};

}  // namespace korvane
