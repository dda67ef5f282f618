// Reading a set file once its platform has opened it.
#include "setfile/set_file_io.h"

namespace korvane {

std::optional<std::string> readWholeSetFile(std::FILE* file) {
  if (file == nullptr) return std::nullopt;
  std::string contents;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return contents;
}

}  // namespace korvane
