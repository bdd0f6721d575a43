#!/bin/bash
# Prepares a fresh Debian 12 machine (as root) to build and test the project,
# and configures the build tree. Safe to run again.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/install-packages.sh"
bash "$ROOT/scripts/fetch-sources.sh"
cd "$ROOT"
if [ ! -f build/build.ninja ]; then
  cmake --preset windows >/dev/null
fi
# The stamping tool built for this machine, to stamp updater executables here.
cmake -S tools/stamp -B build/native/stamp -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native/stamp >/dev/null
# The release tool built for this machine (OpenSSL, zstd and FLAC from
# Debian's -dev packages), to publish releases here.
cmake -S tools/publish -B build/native/publish -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native/publish -j2 >/dev/null
