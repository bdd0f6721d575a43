#!/bin/bash
# First installs of one release served by nginx, with and without the Sha256
# attribute on its files: what checking the content hash costs a whole run.
# The release is written by the release tool (which lists every file's
# Sha256); the copy without hashes is the same document with the attribute
# removed, so both runs fetch the same bytes. Runs alternate, so that a
# change in the machine's load touches both sides alike.
# Run inside a started test bed (scripts/testbed.sh) with WINEPREFIX and
# DISPLAY exported:
#   bench/hash_overhead/run.sh <build-dir>
# Sizes come from the environment: REPEAT=5 FILES=300 FILE_KB=1024 BIG_MB=100;
# LIMIT_RATE=2m caps each connection (nginx's limit_rate) for a slower network,
# and RATES="4m 8m 16m none" compares at each cap in turn ("none": no cap),
# one summary line per cap. SYSTEM_HASHES="wine fast" repeats it all with the
# system's SHA-256 at hardware speed: "fast" puts fast_bcrypt's bcrypt.dll
# (nettle's SHA-NI code) beside the unchanged updater in place of Wine's,
# whose portable SHA-256 runs at about 260 MB/s; "wine" (the default) keeps
# Wine's own.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:?usage: run.sh <build-dir>}" && pwd)"
SYSTEM_HASHES="${SYSTEM_HASHES:-wine}"
REPEAT="${REPEAT:-5}" FILES="${FILES:-300}" FILE_KB="${FILE_KB:-1024}" BIG_MB="${BIG_MB:-100}"
BRAND=NimbraBenchHash
HOST=127.0.0.79
WORK="$(mktemp -d)"
cleanup() {
  bash "$ROOT/deploy/nginx/release-server.sh" stop "$WORK/nginx" >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT
wine_run() { "$ROOT/scripts/wine-run.sh" "$@"; }

# The product: a program with a version resource, FILES random files in ten
# folders and one big random file (random bytes: nothing is worth packing).
mkdir -p "$WORK/product/bin" "$WORK/tools"
cp "$BUILD/bench/install_run/bench_install_product.exe" "$WORK/product/bin/Product.exe"
cp "$BUILD/tools/unkelz/unkelz.exe" "$BUILD/tools/unkelw/unkelw.exe" "$WORK/tools/"
for i in $(seq 0 $((FILES - 1))); do
  mkdir -p "$WORK/product/d$((i % 10))"
  head -c "$((FILE_KB * 1024))" /dev/urandom >"$WORK/product/d$((i % 10))/f$i.dat"
done
[ "$BIG_MB" = 0 ] || head -c "$((BIG_MB << 20))" /dev/urandom >"$WORK/product/big.bin"
printf 'product-exe = bin\\Product.exe\nfiles-server = %s\ndownload-id = hash\n' "$HOST" \
  >"$WORK/release.conf"

PUBLISH="$BUILD/native/publish/publish"
checksum=$("$PUBLISH" token "$BUILD/src/app/Updater.exe" | cut -d' ' -f1)
"$BUILD/native/stamp/stamp" "$BUILD/src/app/Updater.exe" --brand "$BRAND" --host "$HOST" \
  --service-path "/DownloadService.svc/GetUpdateXML?did=" --download-id hash \
  --checksum "$checksum" --output "$WORK/$BRAND.exe" >/dev/null
"$PUBLISH" release --settings "$WORK/release.conf" --files "$WORK/product" --tools "$WORK/tools" \
  --updater "$WORK/$BRAND.exe" --out "$WORK/with" | tail -1
cp -r "$WORK/with" "$WORK/without"
sed -i 's/ Sha256="[0-9a-f]*"//' "$WORK/without/documents/hash"
echo "files listed with a Sha256: $(grep -c 'Sha256=' "$WORK/with/documents/hash") and" \
  "$(grep -c 'Sha256=' "$WORK/without/documents/hash")"

PROGRAM="$WINEPREFIX/drive_c/Program Files/$BRAND"
# first_install <tree>: seconds from the updater's start to its end, on a clean product.
first_install() {
  rm -rf "$PROGRAM"
  wine_run reg delete "HKCU\\Software\\$BRAND" /f >/dev/null 2>&1 || true
  bash "$ROOT/deploy/nginx/release-server.sh" start "$WORK/nginx" "$WORK/$1" "$HOST:80" 600 >/dev/null
  sync
  local start end code=0
  start=$(date +%s.%N)
  timeout 300 "$ROOT/scripts/wine-run.sh" "$WORK/$BRAND.exe" >/dev/null 2>&1 || code=$?
  end=$(date +%s.%N)
  bash "$ROOT/deploy/nginx/release-server.sh" stop "$WORK/nginx" >/dev/null
  [ "$code" = 0 ] || echo "the updater ended with $code ($1)" >&2
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", e - s }'
}
median() {
  sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# compare <cap>: alternating first installs with and without the hashes, each
# connection capped at <cap> bytes a second ("none": no cap); one summary line.
compare() {
  local LIMIT_RATE="$1" rep tree seconds with without rate
  [ "$LIMIT_RATE" != none ] || LIMIT_RATE=""
  export LIMIT_RATE
  : >"$WORK/with.times"
  : >"$WORK/without.times"
  for rep in $(seq "$REPEAT"); do
    for tree in without with; do
      seconds=$(first_install "$tree")
      echo "$seconds" >>"$WORK/$tree.times"
      echo "first install $rep/$REPEAT, $tree Sha256${LIMIT_RATE:+, $LIMIT_RATE/s a connection}: $seconds s"
    done
  done
  with=$(median <"$WORK/with.times")
  without=$(median <"$WORK/without.times")
  rate="${LIMIT_RATE:+, at most $LIMIT_RATE/s a connection}, $HASH_NAME"
  awk -v a="$with" -v b="$without" -v f="$FILES" -v k="$FILE_KB" -v m="$BIG_MB" -v r="$rate" 'BEGIN {
    printf "hash summary (medians, %d files of %d KB + %d MB from nginx%s): without %.2f s, with %.2f s, %+.0f%%\n",
      f, k, m, r, b, a, 100 * (a - b) / b }'
}

# use_system_hash wine|fast: which bcrypt.dll the updater's runs load.
use_system_hash() {
  rm -f "$WORK/bcrypt.dll"
  case "$1" in
    wine)
      HASH_NAME="Wine's SHA-256"
      export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" ;;
    fast)
      cp "$(bash "$ROOT/bench/hash_overhead/fast_bcrypt/build.sh" "$BUILD")" "$WORK/bcrypt.dll"
      HASH_NAME="SHA-256 at hardware speed (nettle's SHA-NI for Wine's)"
      export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;bcrypt=n,b" ;;
    *) echo "SYSTEM_HASHES: wine or fast, not $1" >&2; exit 2 ;;
  esac
}

for hash in $SYSTEM_HASHES; do
  use_system_hash "$hash"
  for cap in ${RATES:-${LIMIT_RATE:-none}}; do compare "$cap"; done
done
rm -rf "$PROGRAM"
wine_run reg delete "HKCU\\Software\\$BRAND" /f >/dev/null 2>&1 || true
wine_run reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$BRAND" /f \
  >/dev/null 2>&1 || true
