#!/bin/bash
# Builds the hash-overhead benchmark's stand-in bcrypt.dll (see fast_bcrypt.c)
# from Debian's nettle source with the cross compiler, once, and prints its path.
#   bench/hash_overhead/fast_bcrypt/build.sh <build-dir>
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
BUILD="$(cd "${1:?usage: build.sh <build-dir>}" && pwd)"
OUT="$BUILD/bench-deps/fast-bcrypt"
DLL="$OUT/bcrypt.dll"
if [ ! -f "$DLL" ] || [ "$HERE/fast_bcrypt.c" -nt "$DLL" ] || [ "$HERE/fast_bcrypt.def" -nt "$DLL" ]; then
  # nettle's assembly (its SHA-NI code among it) goes through m4.
  command -v m4 >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq m4 >/dev/null
  bash "$ROOT/scripts/fetch-sources.sh" nettle
  NETTLE_SRC="$ROOT/.cache/sources/nettle"
  NETTLE="$OUT/nettle"
  if [ ! -f "$NETTLE/libnettle.a" ]; then
    rm -rf "$NETTLE"
    mkdir -p "$NETTLE"
    # A fat build picks the SHA-NI code at run time where the processor has it.
    (cd "$NETTLE" && "$NETTLE_SRC/configure" --host=x86_64-w64-mingw32 \
        CC=x86_64-w64-mingw32-gcc-posix --enable-fat --disable-shared \
        --disable-documentation --disable-openssl --disable-public-key >configure.log 2>&1 &&
      make -j2 libnettle.a >make.log 2>&1) ||
      { echo "building nettle failed; see $NETTLE/*.log" >&2; exit 1; }
  fi
  # nettle's headers are included as <nettle/...>: point a folder of that name at the source.
  mkdir -p "$OUT/include"
  ln -sfn "$NETTLE_SRC" "$OUT/include/nettle"
  x86_64-w64-mingw32-gcc-posix -O2 -Wall -Wextra -shared -I"$OUT/include" -I"$NETTLE" \
    "$HERE/fast_bcrypt.c" "$HERE/fast_bcrypt.def" "$NETTLE/libnettle.a" -static-libgcc -o "$DLL"
fi
echo "$DLL"
