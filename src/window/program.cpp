// Program construction: the serial port gets its defaults before the window.
#include "window/program.h"

#include <utility>

namespace korvane {

Program::Program(Desktop& desktop_, SerialPort::BackendFactory backendFactory, std::filesystem::path workDir_,
                 char decimalSeparator_)
    : desktop(desktop_),
      workDir(std::move(workDir_)),
      decimalSeparator(decimalSeparator_),
      ControllerPort(desktop_, std::move(backendFactory)) {}

}  // namespace korvane
