#!/bin/bash
# The test command: installs what is missing, builds everything with the cross
# compiler and runs every test under Wine and Xvfb. Extra arguments go to ctest.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/publish-smoke.sh
cmake --build --preset windows

STATE="$ROOT/build/testbed.state"
bash scripts/testbed.sh stop "$STATE"
trap 'bash "$ROOT/scripts/testbed.sh" stop "$STATE"' EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a
ctest --preset windows "$@"
