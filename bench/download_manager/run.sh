#!/bin/bash
# Download manager benchmark under Wine, then native curl fetching the same
# files from the same in-process server with 15 parallel transfers.
# Run inside a started test bed (scripts/testbed.sh) with WINEPREFIX and
# DISPLAY exported.
#   bench/download_manager/run.sh <build-dir> [extra bench options, e.g. --headless --big-mb 20]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:?usage: run.sh <build-dir> [bench options]}"
shift
EXE="$BUILD/bench/download_manager/bench_download_manager.exe"
WORK="$(mktemp -d)"
trap 'touch "$WORK/stop"; rm -rf "$WORK"' EXIT
winpath() { echo "Z:${1//\//\\}"; }

"$ROOT/scripts/wine-run.sh" "$EXE" "$@" --url-list "$(winpath "$WORK/urls.txt")" \
  --stop-file "$(winpath "$WORK/stop")" >"$WORK/bench.txt" 2>&1 &
bench_pid=$!
for _ in $(seq 6000); do
  grep -q "^SERVING" "$WORK/bench.txt" 2>/dev/null && break
  kill -0 "$bench_pid" 2>/dev/null || break
  sleep 0.1
done
echo "== DownloadManager (Wine)"
grep -E "^(files|wall|could)" "$WORK/bench.txt" | tr -d '\r'

echo "== curl --parallel --parallel-max 15 (native), same files, same server"
mkdir -p "$WORK/curl"
tr -d '\r' <"$WORK/urls.txt" | awk -v dir="$WORK/curl" '{ printf "url = \"%s\"\noutput = \"%s/%d\"\n", $0, dir, NR }' >"$WORK/curl.cfg"
start=$(date +%s.%N)
curl -s --parallel --parallel-max 15 -K "$WORK/curl.cfg"
end=$(date +%s.%N)
bytes=$(du -cb "$WORK/curl" | tail -1 | cut -f1)
awk -v s="$start" -v e="$end" -v b="$bytes" \
  'BEGIN { t = e - s; printf "curl: %.1f MB in %.2f s, %.1f MB/s\n", b / 1048576, t, b / 1048576 / t }'
touch "$WORK/stop"
wait "$bench_pid" || true
