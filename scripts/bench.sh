#!/bin/bash
# Runs every benchmark under bench/ in one test bed of its own and prints one
# table: our figures, and beside them curl's fetching the same files from the
# same server where a benchmark compares with curl.
#   scripts/bench.sh          short sizes, a few minutes
#   scripts/bench.sh --full   each benchmark's full sizes (much longer)
# Builds what is missing first. Each benchmark's whole output is kept in
# build/bench-results/<date-time>/ (the table says which file).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
case "${1:-}" in
  "") FULL="" ;;
  --full) FULL=1 ;;
  *) echo "usage: $0 [--full]" >&2; exit 2 ;;
esac

if [ -n "$FULL" ]; then
  DOWNLOAD_MB=100 DM_FILES=300 DM_BIG_MB=100 DOCUMENT_ENTRIES=50000 SWEEP_FILES=10000
  export REPEAT=3 FILES=300 FILE_KB=1024 BIG_MB=100 PACK="0 3" SIZES=0,1000,10000
  export BIG_SIZES_MB=20,100,300 STARTS=100 RATES="8m 16m none" SYSTEM_HASHES="wine fast"
else
  DOWNLOAD_MB=50 DM_FILES=100 DM_BIG_MB=20 DOCUMENT_ENTRIES=50000 SWEEP_FILES=2000
  export REPEAT=1 FILES=100 FILE_KB=256 BIG_MB=20 PACK="0 3" SIZES=0,1000
  export BIG_SIZES_MB=20 STARTS=20 SYSTEM_HASHES="wine fast"
fi

bash scripts/setup.sh >/dev/null
cmake --build --preset windows >/dev/null
BUILD="$ROOT/build"
OUT="$BUILD/bench-results/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$OUT"

STATE="$BUILD/bench.state"
bash scripts/testbed.sh stop "$STATE"
trap 'bash "$ROOT/scripts/testbed.sh" stop "$STATE"' EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a

# run <name> <command...>: the command's output goes to $OUT/<name>.txt.
run() {
  local name="$1" start=$SECONDS
  shift
  printf 'running %-22s' "$name" >&2
  "$@" >"$OUT/$name.txt" 2>&1 || echo "(exit code $?)" >>"$OUT/$name.txt"
  tr -d '\r' <"$OUT/$name.txt" >"$OUT/$name.tmp" && mv "$OUT/$name.tmp" "$OUT/$name.txt"
  echo " $((SECONDS - start)) s" >&2
}
wine_run() { "$ROOT/scripts/wine-run.sh" "$@"; }

run download bash bench/download/run.sh "$BUILD" "$DOWNLOAD_MB"
run download_manager bash bench/download_manager/run.sh "$BUILD" --files "$DM_FILES" --big-mb "$DM_BIG_MB"
run install_run bash bench/install_run/run.sh "$BUILD" install noop starts memory
run hash_overhead bash bench/hash_overhead/run.sh "$BUILD"
run document wine_run "$BUILD/bench/document/bench_document.exe" "$DOCUMENT_ENTRIES"
run obsolete_file_sweep wine_run "$BUILD/bench/obsolete_file_sweep/bench_obsolete_file_sweep.exe" "$SWEEP_FILES"
run app_progress wine_run "$BUILD/bench/app_progress/bench_app_progress.exe"

# The median of the numbers on standard input, one a line ("-" when none).
median() {
  sort -g | awk '{ v[NR] = $1 } END { if (!NR) print "-"; else print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# Lines of a result file that match a pattern, or nothing.
lines() { grep -E "$2" "$OUT/$1.txt" || true; }
row() { printf '| %-62s | %-20s | %-28s |\n' "$1" "$2" "$3"; }

echo
echo "Benchmarks ($([ -n "$FULL" ] && echo full || echo short) sizes), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); outputs in $OUT"
echo
row "measure" "ours" "curl, same files and server"
row "$(printf '%.0s-' {1..62})" "$(printf '%.0s-' {1..20})" "$(printf '%.0s-' {1..28})"

ours=$(lines download '^FileDownloader' | sed -E 's/.*= ([0-9.]+) MB\/s.*/\1/' | median)
theirs=$(lines download '^curl:' | sed -E 's/.*= ([0-9.]+) B\/s.*/\1/' | median)
[ "$theirs" = - ] || theirs=$(awk -v b="$theirs" 'BEGIN { printf "%.1f", b / 1048576 }')
row "one $DOWNLOAD_MB MB file, one transfer (median of 3)" "$ours MB/s" "$theirs MB/s"

ours=$(lines download_manager '^wall' | sed -E 's/^wall ([0-9.]+) s, ([0-9.]+) MB\/s.*/\1 s, \2 MB\/s/')
theirs=$(lines download_manager '^curl:' | sed -E 's/^curl: [0-9.]+ MB in ([0-9.]+) s, ([0-9.]+) MB\/s/\1 s, \2 MB\/s/')
row "download manager, with dialog: $DM_FILES files + $DM_BIG_MB MB, 15 transfers" "${ours:--}" "${theirs:--}"

# install_run: one "== first install" block per packing, each ending with its curl summary.
awk '/^== first install/ { block++ } block { print > (out "/install_block_" block ".txt") }' \
  out="$OUT" "$OUT/install_run.txt"
for block in "$OUT"/install_block_*.txt; do
  [ -e "$block" ] || continue
  packed=$(head -1 "$block" | sed -E 's/.*compressed small files: //')
  ours=$(grep -E '^install summary' "$block" | sed -E 's/.*difference ([0-9.]+).*/\1 s/' || true)
  theirs=$(grep -E '^curl summary' "$block" | sed -E 's/.*: ([0-9.]+) .*/\1 s/' || true)
  row "whole run: first install less no-op run, compressed: $packed" "${ours:--}" "${theirs:--}"
  rm -f "$block"
done
row "  ($FILES files of $FILE_KB KB + $BIG_MB MB, median of $REPEAT; curl: 15 parallel)" "" ""
while read -r line; do
  cap=$(sed -nE 's/.*, at most ([^ ]+) a connection.*/, at most \1 a connection/p' <<<"$line")
  hash=$(grep -q 'hardware speed' <<<"$line" && echo "SHA-NI" || echo "Wine's")
  ours=$(sed -E 's/.*without ([0-9.]+ s), with ([0-9.]+ s), (.*)/\1 \/ \2 (\3)/' <<<"$line")
  row "first install from nginx$cap, without / with Sha256 ($hash SHA-256)" "$ours" ""
done < <(lines hash_overhead '^hash summary')
while read -r line; do
  size=$(sed -E 's/^noop ([0-9]+) summary.*/\1/' <<<"$line")
  wall=$(sed -E 's/.*exit ([0-9.]+).*/\1/' <<<"$line")
  row "no-op run, $size payload files listed (all installed)" "$wall s" ""
done < <(lines install_run '^noop [0-9]+ summary')
while read -r line; do
  what=$(sed -E 's/^starts (.*[^ ]) +([0-9]+) thread\(s\):.*/\1, \2 thread(s)/' <<<"$line")
  each=$(sed -E 's/.* ([0-9.]+) ms each.*/\1 ms/' <<<"$line")
  row "start of $what" "$each" ""
done < <(lines install_run '^starts .*ms each')
while read -r line; do
  size=$(sed -E 's/^memory ([0-9]+) MB summary.*/\1/' <<<"$line")
  peak=$(sed -E 's/.*peak working set ([0-9.]+).*/\1 MB/' <<<"$line")
  row "updater's peak working set, one $size MB file" "$peak" ""
done < <(lines install_run '^memory [0-9]+ MB summary')

ours=$(lines document '^load and check' | sed -E 's/.*: ([0-9.]+) ms/\1 ms/')
row "load and check a document of $DOCUMENT_ENTRIES files" "${ours:--}" ""
ours=$(lines document '^five lists' | sed -E 's/.*: ([0-9.]+) ms/\1 ms/')
row "read its five file lists" "${ours:--}" ""
while read -r line; do
  label=$(sed -E 's/^(.*[^ ]) +[0-9]+ listed:.*/\1/' <<<"$line")
  wall=$(sed -E 's/.*listed: +([0-9.]+) ms wall.*/\1 ms/' <<<"$line")
  row "sweep of $SWEEP_FILES files, $label" "$wall" ""
done < <(lines obsolete_file_sweep 'listed:')
while read -r line; do
  call=$(sed -E 's/^(SetProgress[A-Za-z]+, [a-z]+):.*/\1/' <<<"$line")
  cost=$(sed -E 's/.*: +([0-9.]+) us\/call.*/\1 us/' <<<"$line")
  row "dialog $call, per call" "$cost" ""
done < <(lines app_progress '^SetProgress')
failed=$(grep -lE 'FAILED|could not|\(exit code' "$OUT"/*.txt 2>/dev/null || true)
if [ -n "$failed" ]; then
  echo
  echo "Some runs reported failures; see: $failed"
fi
