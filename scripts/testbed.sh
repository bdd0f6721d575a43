#!/bin/bash
# Starts or stops the test bed: one Xvfb display and one persistent
# wineserver on a private prefix in the build tree.
#   testbed.sh start <state-file>   prints nothing; writes the variables to export
#   testbed.sh stop  <state-file>   stops what start started, by pid
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
STATE="$2"
PREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
# No add-on installer prompts (mscoree, mshtml), and no menu builder: it would
# mirror every shortcut that a test creates into the Linux user's menus and
# desktop, and it keeps running in the folder of the program that made the
# shortcut, so that folder cannot be removed for a while.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

start() {
  local display=90
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  local xvfb_pid=$!
  echo "XVFB_PID=$xvfb_pid" >"$STATE"
  echo "DISPLAY=:$display" >>"$STATE"
  echo "WINEPREFIX=$PREFIX" >>"$STATE"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
  done
  export DISPLAY=":$display" WINEPREFIX="$PREFIX"
  mkdir -p "$PREFIX"
  # Wine's helper processes inherit the standard handles of whoever starts the
  # server: start it detached so that nothing holds a test runner's pipes.
  setsid wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$PREFIX/system.reg" ]; then
    setsid "$ROOT/scripts/wine-run.sh" wineboot -i </dev/null >/dev/null 2>&1
  else
    setsid "$ROOT/scripts/wine-run.sh" wineboot </dev/null >/dev/null 2>&1 || true
  fi
  # A new prefix's browser home page is a public site, and the skin browser
  # host sends the browser control home before its own navigation: keep every
  # run in this prefix off the network.
  setsid "$ROOT/scripts/wine-run.sh" reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' \
    /v 'Start Page' /d about:blank /f </dev/null >/dev/null 2>&1
}

stop() {
  [ -f "$STATE" ] || return 0
  # shellcheck disable=SC1090
  . "$STATE"
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$WINEPREFIX" wineserver -w >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  rm -f "$STATE"
}

case "$1" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop <state-file>" >&2; exit 2 ;;
esac
