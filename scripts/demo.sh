#!/bin/bash
# The main job: builds the updater and runs it under Wine on a virtual display.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
cmake --build --preset windows
STATE="$ROOT/build/demo.state"
export WINEPREFIX="$ROOT/build/demo-prefix"
bash scripts/testbed.sh stop "$STATE"
trap 'bash "$ROOT/scripts/testbed.sh" stop "$STATE"' EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a
if [ -f build/src/app/Updater.exe ]; then
  echo "Starting the updater under Wine (display $DISPLAY)..."
  timeout 60 scripts/wine-run.sh build/src/app/Updater.exe; echo "updater exit code: $?"
else
  echo "The updater executable is not built yet." >&2
  exit 1
fi
