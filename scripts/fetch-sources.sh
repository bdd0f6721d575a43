#!/bin/bash
# Fetches the Debian source packages that the build compiles with the cross
# compiler (Debian's patches applied) into the git-ignored cache. Idempotent.
#   fetch-sources.sh                the build's sources (TinyXML, zstd, FLAC)
#   fetch-sources.sh <package>...   those source packages only, each under its
#                                   own name (benchmarks fetch theirs this way)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
CACHE="$ROOT/.cache/sources"
mkdir -p "$CACHE"

has_deb_src() {
  grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
if ! has_deb_src; then
  cat > /etc/apt/sources.list.d/project-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -qq
fi

# name of the source package, and the folder name under the cache that the build uses
fetch() {
  local pkg="$1" link="$2"
  [ -d "$CACHE/$link" ] && return 0
  local work="$CACHE/.fetch-$pkg"
  rm -rf "$work"; mkdir -p "$work"
  # A mirror may lack the newest version's files; fall back to older versions.
  local ok=0 v
  for v in "" $(apt-cache showsrc "$pkg" | awk '/^Version:/{print $2}' | sort -rV); do
    rm -rf "$work"; mkdir -p "$work"
    if (cd "$work" && apt-get source -qq "$pkg${v:+=$v}" >/dev/null 2>&1); then ok=1; break; fi
  done
  [ "$ok" = 1 ] || { echo "cannot fetch the source package $pkg" >&2; exit 1; }
  local dir
  dir="$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)"
  [ -n "$dir" ] || { echo "apt-get source $pkg unpacked nothing" >&2; exit 1; }
  mv "$dir" "$CACHE/$link"
  rm -rf "$work"
}
if (($#)); then
  for pkg in "$@"; do fetch "$pkg" "$pkg"; done
  exit 0
fi
fetch tinyxml tinyxml
fetch libzstd zstd
fetch flac flac
