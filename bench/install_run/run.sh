#!/bin/bash
# Whole runs of the stamped updater under Wine (bench_install_run), and native
# curl fetching the same files from the same in-process server.
# Run inside a started test bed (scripts/testbed.sh) with WINEPREFIX and
# DISPLAY exported:
#   bench/install_run/run.sh <build-dir> [install] [starts] [noop] [memory]
# Without sections all four run. Sizes come from the environment:
#   REPEAT=3 FILES=300 FILE_KB=1024 BIG_MB=100 PACK="0 3"
#   SIZES=0,1000,10000 BY_INSTALL= (set to 1: populate no-op runs by a first install)
#   BIG_SIZES_MB=20,100,300 STARTS=100
#   BENCH_OPTIONS="--with-output": the updater's standard output on NUL instead of none
#   BENCH_OPTIONS="--sha256": the document lists the Sha256 of every uncompressed file
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:?usage: run.sh <build-dir> [sections]}" && pwd)"
shift
SECTIONS="${*:-install starts noop memory}"
REPEAT="${REPEAT:-3}" FILES="${FILES:-300}" FILE_KB="${FILE_KB:-1024}" BIG_MB="${BIG_MB:-100}"
PACK="${PACK:-0 3}" SIZES="${SIZES:-0,1000,10000}" BIG_SIZES_MB="${BIG_SIZES_MB:-20,100,300}"
STARTS="${STARTS:-100}"
EXE="$BUILD/bench/install_run/bench_install_run.exe"
WORK="$(mktemp -d)"
trap 'touch "$WORK/stop"; rm -rf "$WORK"' EXIT
export PROJECT_BUILD_DIR="$BUILD"
winpath() { echo "Z:${1//\//\\}"; }
load() { echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores ($1)"; }
# shellcheck disable=SC2086  # BENCH_OPTIONS holds separate words
bench() { "$ROOT/scripts/wine-run.sh" "$EXE" "$@" ${BENCH_OPTIONS:-}; }

# Fetches every URL of the list REPEAT times with 15 parallel transfers;
# prints each time and leaves the median in $WORK/curl_median.
curl_runs() {
  tr -d '\r' <"$WORK/urls.txt" |
    awk -v dir="$WORK/curl" '{ printf "url = \"%s\"\noutput = \"%s/%d\"\n", $0, dir, NR }' >"$WORK/curl.cfg"
  : >"$WORK/curl_times"
  for rep in $(seq "$REPEAT"); do
    rm -rf "$WORK/curl" && mkdir -p "$WORK/curl"
    start=$(date +%s.%N)
    curl -s --fail --parallel --parallel-max 15 -K "$WORK/curl.cfg" 2>"$WORK/curl.err" || echo "curl reported a failure: $(head -c 300 "$WORK/curl.err")"
    end=$(date +%s.%N)
    bytes=$(find "$WORK/curl" -type f -printf "%s\n" | awk "{ s += \$1 } END { print s + 0 }")
    files=$(find "$WORK/curl" -type f | wc -l)
    awk -v s="$start" -v e="$end" -v b="$bytes" -v f="$files" -v r="$rep" -v n="$REPEAT" \
      'BEGIN { printf "curl %d/%d: %d files, %.1f MB in %.2f s\n", r, n, f, b / 1048576, e - s }'
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }' >>"$WORK/curl_times"
  done
  median "$WORK/curl_times" >"$WORK/curl_median"
  sort -g "$WORK/curl_times" | awk -v m="$(cat "$WORK/curl_median")" '{ v[NR] = $1 }
    END { printf "curl summary (median [min..max]): %.2f [%.2f..%.2f] s\n", m, v[1], v[NR] }'
}

# The median of the numbers in a file, one a line.
median() {
  sort -g "$1" | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

install_section() {
  for pack in $PACK; do
    if [ "$pack" = 0 ]; then packed="none"; else packed="1 in $pack"; fi
    echo "== first install, $FILES x $FILE_KB KB + $BIG_MB MB, compressed small files: $packed"
    load "before"
    rm -f "$WORK/stop" "$WORK/install.txt"
    bench install --files "$FILES" --file-kb "$FILE_KB" --big-mb "$BIG_MB" --pack-every "$pack" \
      --repeat "$REPEAT" --url-list "$(winpath "$WORK/urls.txt")" --stop-file "$(winpath "$WORK/stop")" \
      >"$WORK/install.txt" 2>&1 &
    bench_pid=$!
    while ! grep -q "^SERVING" "$WORK/install.txt" 2>/dev/null && kill -0 "$bench_pid" 2>/dev/null; do
      sleep 0.2
    done
    tr -d '\r' <"$WORK/install.txt" | grep -E "^(document|install|could|  the run)"
    if grep -q "^SERVING" "$WORK/install.txt"; then
      load "after the updater runs, before curl"
      curl_runs
      difference=$(tr -d '\r' <"$WORK/install.txt" | awk '/^RESULT difference_median/ { print $3 }')
      awk -v d="$difference" -v c="$(cat "$WORK/curl_median")" \
        'BEGIN { printf "ratio: (first install - no-op) / curl = %.2f / %.2f = %.2f (target: at most 1.5 with nothing compressed)\n", d, c, d / c }'
    fi
    touch "$WORK/stop"
    wait "$bench_pid" || true
  done
}

starts_section() {
  echo "== decompressor starts, bare, as a run starts them ($STARTS each)"
  load "before"
  bench starts --starts "$STARTS" 2>&1 | tr -d '\r' | grep -E "^(starts|could)"
}

noop_section() {
  echo "== no-op runs, every listed file installed, documents of $SIZES payload files"
  load "before"
  bench noop --sizes "$SIZES" --repeat "$REPEAT" ${BY_INSTALL:+--by-install} 2>&1 | tr -d '\r' | grep -E "^(noop|could|  the run)"
  load "after"
}

memory_section() {
  echo "== peak working set of the updater installing one big file of $BIG_SIZES_MB MB"
  load "before"
  bench memory --big-sizes-mb "$BIG_SIZES_MB" --repeat "$REPEAT" 2>&1 | tr -d '\r' | grep -E "^(memory|could|  the run)"
}

for section in $SECTIONS; do
  case "$section" in
    install) install_section ;;
    starts) starts_section ;;
    noop) noop_section ;;
    memory) memory_section ;;
    *) echo "unknown section $section" >&2; exit 2 ;;
  esac
done
