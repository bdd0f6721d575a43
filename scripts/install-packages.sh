#!/bin/bash
# Installs the Debian packages that building and testing need. Idempotent.
set -euo pipefail
PKGS=(g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build wine wine64
      xvfb dpkg-dev g++ googletest curl xauth python3 ca-certificates fonts-dejavu-core
      pkg-config libssl-dev libzstd-dev libflac-dev)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
