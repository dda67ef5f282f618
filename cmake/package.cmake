# The Debian package: `cpack -G DEB` in the build tree packs what
# `cmake --install` puts under /usr. Its dependencies are read off the
# installed programs by dpkg-shlibdeps (from dpkg-dev).
set(KORVANE_PACKAGE_MAINTAINER "Korvane developers <korvane@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up a fuel-injection controller over a serial line")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane connects to an engine's fuel-injection controller on a serial port
(a USB serial adapter will do), identifies its firmware, reads its dozen
parameters and its 16 x 8 map of gain factors, and shows live engine speed,
manifold pressure and injector pulse width with two cursor bars on the map.
Every edited value is sent back and marked until the controller confirms it.
The whole controller can be saved to a text set file and loaded back, each
file checked line by line before anything is sent.

The package also holds korvane-sim, an emulated controller on a
pseudo-terminal, for trying Korvane without an engine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugin (X11 or Wayland) at run time, so no library
# dependency names it; without one the window cannot open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)

include(CPack)
