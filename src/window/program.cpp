// Program construction (the serial port gets its defaults before the window)
// and the end of the program.
#include "window/program.h"

#include <utility>

namespace korvane {

Program::Program(Desktop& desktop_, SerialPort::BackendFactory backendFactory, std::filesystem::path workDir_,
                 char decimalSeparator_)
    : desktop(desktop_),
      workDir(std::move(workDir_)),
      decimalSeparator(decimalSeparator_),
      ControllerPort(desktop_, std::move(backendFactory)) {}

void beforeProgramEnds(Program& program) {
  if (program.liveDataSink) program.liveDataSink->programEnding();
  program.ControllerPort.Close();
}

void endProgram(Program& program, int status) {
  beforeProgramEnds(program);
  program.desktop.exitProcess(status);
}

}  // namespace korvane
