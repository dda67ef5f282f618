# CLI11, the command-line parser of korvane-sim and korvane-setfile, as the
# target CLI11::CLI11. It is headers only and the same for every target, so
# a cross build for Windows takes the build machine's copy, through a folder
# that holds nothing but its headers: the rest of the build machine's
# /usr/include must stay out of sight of the cross compiler.
if(TARGET CLI11::CLI11)
  return()
endif()
if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 2.1 CONFIG REQUIRED)
  return()
endif()
find_path(KORVANE_CLI11_HOST_INCLUDE CLI/CLI.hpp PATHS /usr/include /usr/local/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT KORVANE_CLI11_HOST_INCLUDE)
  message(FATAL_ERROR "CLI11's headers (CLI/CLI.hpp) were not found on the build machine: install libcli11-dev")
endif()
set(KORVANE_CLI11_INCLUDE ${PROJECT_BINARY_DIR}/cli11-include)
file(MAKE_DIRECTORY ${KORVANE_CLI11_INCLUDE})
file(CREATE_LINK ${KORVANE_CLI11_HOST_INCLUDE}/CLI ${KORVANE_CLI11_INCLUDE}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KORVANE_CLI11_INCLUDE})
