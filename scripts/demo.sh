#!/bin/bash
# The main job: builds everything, stamps a copy of the updater with a demo
# brand and a loopback service host, runs it under Wine on a virtual display
# and shows what it recorded in its product key.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
cmake --build --preset windows

BRAND=NimbraDemo
DEMO="$ROOT/build/demo"
mkdir -p "$DEMO"
build/native/stamp/stamp build/src/app/Updater.exe --brand "$BRAND" --host 127.0.0.1 \
  --output "$DEMO/$BRAND-setup.exe" >/dev/null
echo "Stamped $DEMO/$BRAND-setup.exe:"
build/native/stamp/stamp "$DEMO/$BRAND-setup.exe" --print

STATE="$DEMO/testbed.state"
export WINEPREFIX="$DEMO/prefix"
bash scripts/testbed.sh stop "$STATE"
trap 'bash "$ROOT/scripts/testbed.sh" stop "$STATE"' EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a

echo "Running the updater under Wine (display $DISPLAY) for 20 seconds..."
scripts/wine-run.sh "$DEMO/$BRAND-setup.exe" >"$DEMO/updater.log" 2>&1 &
sleep 20
echo "Product key HKCU\\Software\\$BRAND as the updater left it:"
scripts/wine-run.sh reg query "HKCU\\Software\\$BRAND" 2>/dev/null | tr -d '\r' | sed '/^$/d'
