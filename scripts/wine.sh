#!/usr/bin/env bash
# The Wine prefix that the Windows programs run in, shared by test-windows
# and test-windows-e2e, and the mapping of its COM ports to terminals.
# Sourced by both.

# Uses the Wine prefix in the folder `$1`/wine, creating it the first time.
korvane_wine_prefix() {
  export WINEPREFIX="$1/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# Maps COM ports to terminals, each argument "COMn=/dev/pts/N", and starts
# the prefix's server afresh with them.
korvane_wine_ports() {
  local port
  for port in "$@"; do
    wine reg add 'HKLM\Software\Wine\Ports' /v "${port%%=*}" /t REG_SZ /d "${port#*=}" /f >/dev/null
  done
  # Wine reads its COM ports from the registry when its server starts.
  wineserver -k 2>/dev/null || true
  wineserver -w
  # Kept running until the end, so that each program starts in Wine
  # without starting its server again; Wine's own services are started here
  # too, away from the programs under test, which would otherwise wait for
  # them to end.
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
