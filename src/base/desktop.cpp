// Helpers shared by every Desktop.
#include "base/desktop.h"

namespace korvane {

std::string exceptionBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

}  // namespace korvane
