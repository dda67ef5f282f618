#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, test and run, skipping
# apt entirely when everything is already there. Sourced by run and test,
# and (for korvane_install_packages) by the Windows scripts.

# Installs those of the named packages that are not installed yet.
korvane_install_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

korvane_install_deps() {
  local wanted=(build-essential cmake pkg-config qt6-base-dev libgl1-mesa-dev
                libgtest-dev libgmock-dev googletest clang clang-format fonts-dejavu-core
                libcli11-dev)
  # The SVG icon, and checking the install and the Debian package.
  wanted+=(qt6-svg-dev desktop-file-utils appstream dpkg-dev man-db)
  korvane_install_packages "${wanted[@]}"
}
