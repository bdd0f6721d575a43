#!/bin/bash
# Download benchmark: FileDownloader under Wine, then native curl against the
# same in-process server for comparison. Run inside a started test bed
# (scripts/testbed.sh) with WINEPREFIX and DISPLAY exported.
#   bench/download/run.sh <build-dir> [megabytes]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:?usage: run.sh <build-dir> [megabytes]}"
MB="${2:-100}"
EXE="$BUILD/bench/download/bench_download.exe"
WORK="$(mktemp -d)"
trap 'touch "$WORK/stop"; rm -rf "$WORK"' EXIT

echo "== FileDownloader (Wine), $MB MB"
"$ROOT/scripts/wine-run.sh" "$EXE" --mb "$MB" --runs 3 >"$WORK/fetch.txt" 2>&1 || true
grep -E "FileDownloader|could not" "$WORK/fetch.txt"

echo "== curl (native) against the same server, $MB MB"
"$ROOT/scripts/wine-run.sh" "$EXE" --serve --mb "$MB" --stop-file "Z:${WORK//\//\\}\\stop" \
  >"$WORK/serve.txt" 2>&1 &
server_pid=$!
for _ in $(seq 300); do
  grep -q "^URL " "$WORK/serve.txt" 2>/dev/null && break
  sleep 0.1
done
url="$(grep "^URL " "$WORK/serve.txt" | cut -d' ' -f2 | tr -d '\r')"
for _ in 1 2 3; do
  curl -s -o "$WORK/curl.bin" -w "curl: %{size_download} bytes in %{time_total} s = %{speed_download} B/s\n" "$url"
  rm -f "$WORK/curl.bin"
done
touch "$WORK/stop"
wait "$server_pid" || true
