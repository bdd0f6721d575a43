#!/bin/bash
# Runs a Windows program under Wine in the test bed's prefix (see testbed.sh).
# CTest uses this as the cross-compiling emulator.
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"  # see testbed.sh
# Debian's wine launcher prints a warning about the missing 32-bit Wine on
# every start; the 64-bit loader runs our x86-64 programs directly.
if [ -x /usr/lib/wine/wine64 ]; then
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
