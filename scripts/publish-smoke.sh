#!/bin/bash
# Runs the release tool built for this machine (build/native/publish) once on
# a tiny product folder: the release must appear with its documents and a
# packed file that unpacks to the original, and a folder whose names differ
# only in letter case (which only this machine's file system can hold) must be
# refused without leaving output. Then a key pair from "publish keygen" signs
# a release, and OpenSSL's command line must verify the document's signature
# (and refuse it after a one-byte change), and "publish verify" must pass the
# release and name what changed in it. Takes about a second.
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
# bin/App.exe is no real program: published, with a warning.
"$NATIVE/publish" release --settings release.conf --files product --out tree >/dev/null 2>warn.txt ||
  fail "$(cat warn.txt)"
[ -f tree/documents/smoke ] || fail "no document written"
grep -q "carries no version resource" warn.txt || fail "no warning about App.exe's version"
grep -q 'ServerRelativePath="/files/readme.txt.Kelz"' tree/documents/smoke || fail "readme.txt not packed"
"$NATIVE/unkelz/unkelz" d tree/files/readme.txt.Kelz readme.out
cmp -s readme.out product/readme.txt || fail "readme.txt does not unpack to the original"

touch product/Readme.TXT
if "$NATIVE/publish" release --settings release.conf --files product --out second 2>err.txt; then
  fail "names differing only in letter case were published"
fi
grep -q "differ only in letter case" err.txt || fail "unexpected refusal: $(cat err.txt)"
[ ! -e second ] && ! ls -a | grep -q publishing || fail "a refused release left output"

# Signing. The key files: private key for the owner only, the public key
# exactly as OpenSSL derives it, and never overwritten.
rm -f product/Readme.TXT
"$NATIVE/publish" keygen --out smoke >/dev/null
[ "$(stat -c %a smoke.key)" = 600 ] || fail "smoke.key is not mode 600"
openssl ec -in smoke.key -pubout 2>/dev/null | cmp -s - smoke.pub.pem ||
  fail "smoke.pub.pem is not the public key of smoke.key"
cp smoke.key smoke.key.before
if "$NATIVE/publish" keygen --out smoke 2>/dev/null; then fail "keygen overwrote a key"; fi
cmp -s smoke.key smoke.key.before || fail "a refused keygen changed smoke.key"

"$NATIVE/publish" release --settings release.conf --files product --out signed \
  --key smoke.key --release-number 1234 >/dev/null 2>warn.txt || fail "$(cat warn.txt)"
grep -q '<UpdateDocument [^>]* ReleaseNumber="1234"' signed/documents/smoke || fail "no ReleaseNumber"
# Split the document at the signature comment: the bytes before it are signed,
# the comment carries r||s in hex, which OpenSSL wants as a DER ECDSA-Sig-Value.
python3 - signed/documents/smoke <<'PY' || fail "the signature comment is not in its place"
import re, sys
data = open(sys.argv[1], "rb").read()
at = data.rindex(b"<!--")
match = re.fullmatch(rb"<!--nimbra-signature ecdsa-p256-sha256 ([0-9a-f]{128})-->\r\n", data[at:])
if not match:
    sys.exit(1)
raw = bytes.fromhex(match.group(1).decode())
def integer(value):
    value = value.lstrip(b"\0") or b"\0"
    if value[0] & 0x80:
        value = b"\0" + value
    return b"\x02" + bytes([len(value)]) + value
body = integer(raw[:32]) + integer(raw[32:])
open("sig.der", "wb").write(b"\x30" + bytes([len(body)]) + body)
open("signed-part", "wb").write(data[:at])
PY
openssl dgst -sha256 -verify smoke.pub.pem -signature sig.der signed-part | grep -qx "Verified OK" ||
  fail "OpenSSL does not verify the document's signature"
python3 -c 'import sys; b = bytearray(open("signed-part", "rb").read()); b[100] ^= 1; open("signed-part", "wb").write(b)'
if openssl dgst -sha256 -verify smoke.pub.pem -signature sig.der signed-part >/dev/null 2>&1; then
  fail "a changed document still verifies"
fi
# "publish verify" with OpenSSL: the release as written passes; a changed
# packed file and a foreign key are named.
"$NATIVE/publish" verify --tree signed --public-key smoke.pub.pem >verify.txt ||
  fail "verify refuses the release as written: $(cat verify.txt)"
grep -q "documents/smoke: signature good" verify.txt || fail "verify did not check the signature"
printf 'x' | dd of=signed/files/readme.txt.Kelz bs=1 seek=20 conv=notrunc 2>/dev/null
if "$NATIVE/publish" verify --tree signed --public-key smoke.pub.pem >verify.txt; then
  fail "verify passes a changed packed file"
fi
grep -q "readme.txt (/files/readme.txt.Kelz): " verify.txt || fail "verify did not name readme.txt"
"$NATIVE/publish" keygen --out other >/dev/null
if "$NATIVE/publish" verify --tree tree --public-key other.pub.pem >verify.txt; then
  fail "verify passes an unsigned release with a key"
fi
grep -q "documents/smoke: carries no signature" verify.txt || fail "verify did not miss the signature"
echo "publish smoke: passed"
