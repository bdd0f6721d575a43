#!/bin/bash
# Runs the release tool built for this machine (build/native/publish) once on
# a tiny product folder: the release must appear with its documents and a
# packed file that unpacks to the original, and a folder whose names differ
# only in letter case (which only this machine's file system can hold) must be
# refused without leaving output. Takes well under a second.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
NATIVE="$ROOT/build/native/publish"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

mkdir -p product/bin tools
printf 'MZ%05000d' 0 > product/bin/App.exe
for i in $(seq 1 300); do echo "line $i of the readme"; done > product/readme.txt
cp "$NATIVE/unkelz/unkelz" tools/unkelz.exe
cp "$NATIVE/unkelw/unkelw" tools/unkelw.exe
cat > release.conf <<'CONF'
product-exe = bin/App.exe
files-server = files.smoke.invalid
download-id = smoke
tools = tools
CONF

fail() { echo "publish smoke: $*" >&2; exit 1; }
"$NATIVE/publish" release --settings release.conf --files product --out tree >/dev/null
[ -f tree/documents/smoke ] || fail "no document written"
grep -q 'ServerRelativePath="/files/readme.txt.Kelz"' tree/documents/smoke || fail "readme.txt not packed"
"$NATIVE/unkelz/unkelz" d tree/files/readme.txt.Kelz readme.out
cmp -s readme.out product/readme.txt || fail "readme.txt does not unpack to the original"

touch product/Readme.TXT
if "$NATIVE/publish" release --settings release.conf --files product --out second 2>err.txt; then
  fail "names differing only in letter case were published"
fi
grep -q "differ only in letter case" err.txt || fail "unexpected refusal: $(cat err.txt)"
[ ! -e second ] && ! ls -a | grep -q publishing || fail "a refused release left output"
echo "publish smoke: passed"
