// Looking parameters up by key and by command letter.
#include "cli/set_file_parameters.h"

#include <stdexcept>

#include "setfile/set_file_format.h"

namespace korvane {

std::size_t parameterIndex(std::string_view key) {
  for (std::size_t i = 0; i < kSetFileParameters.size(); ++i) {
    if (kSetFileParameters[i].key == key) return i;
  }
  throw std::invalid_argument("no set-file parameter " + std::string(key));
}

char commandLetterOf(const SetFileParameter& parameter) {
  for (const SetFileKey& key : kSetFileKeys) {
    if (key.key == parameter.key) return key.letter;
  }
  throw std::invalid_argument("the reader knows no key " + std::string(parameter.key));
}

std::string keyName(std::string_view key) {
  std::string name(key.substr(0, key.find('=')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace korvane
