#!/bin/bash
# The main job: builds everything, publishes a small sample product on a
# loopback web server, stamps an updater for it and runs it under Wine on a
# virtual display. The updater installs and starts the product; the job shows
# what was installed, then publishes a changed file and runs the installed
# updater again, which fetches only that file.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
cmake --build --preset windows

BRAND=NimbraDemo
HOST=127.0.0.77
DOWNLOAD_ID=demo-release
DOCUMENT=/DownloadService.svc/GetUpdateXML
DEMO="$ROOT/build/demo-run"
rm -rf "$DEMO"
mkdir -p "$DEMO/product/bin" "$DEMO/product/fonts" "$DEMO/product/sounds"

STATE="$DEMO/testbed.state"
export WINEPREFIX="$DEMO/prefix"
SERVER_PID=""
finish() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null || true
  bash "$ROOT/scripts/testbed.sh" stop "$STATE"
}
trap finish EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a
reg_query() { "$ROOT/scripts/wine-run.sh" reg query "$1" 2>/dev/null | tr -d '\r' | sed '/^$/d'; }

# The sample product: a program with a version resource, a text file, a font
# and a sound, plus the two decompressor programs.
cp build/demo/NimbraDemoApp.exe "$DEMO/product/bin/"
echo "Nimbra demo product, release 1" >"$DEMO/product/readme.txt"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$DEMO/product/fonts/"
python3 - "$DEMO/product/sounds/chime.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.06))) for i in range(22050)))
PY
cp build/tools/unkelz/unkelz.exe build/tools/unkelw/unkelw.exe "$DEMO/product/"

# Packs with the decompressor programs' compress modes: pack.sh z|w <source> <target>.
cat >"$DEMO/pack.sh" <<SH
#!/bin/bash
if [ "\$1" = z ]; then tool="$ROOT/build/tools/unkelz/unkelz.exe" mode=c
else tool="$ROOT/build/tools/unkelw/unkelw.exe" mode=-c; fi
win() { "$ROOT/scripts/wine-run.sh" winepath -w "\$1" 2>/dev/null | tr -d '\r'; }
exec "$ROOT/scripts/wine-run.sh" "\$tool" \$mode "\$(win "\$2")" "\$(win "\$3")" >/dev/null
SH
publish() {
  rm -rf "$DEMO/release"
  python3 scripts/demo-release.py "$DEMO/release" "$HOST" "$DOCUMENT" "bash $DEMO/pack.sh" \
    'bin\NimbraDemoApp.exe'="$DEMO/product/bin/NimbraDemoApp.exe" \
    'readme.txt'="$DEMO/product/readme.txt:z" \
    'fonts\DejaVuSans.ttf'="$DEMO/product/fonts/DejaVuSans.ttf:z" \
    'unkelz.exe'="$DEMO/product/unkelz.exe" 'unkelw.exe'="$DEMO/product/unkelw.exe" "$@"
}
publish 'sounds\chime.wav'="$DEMO/product/sounds/chime.wav:w"
echo "1. Published release 1 of the sample product (6 files) in $DEMO/release"

python3 -m http.server 80 --bind "$HOST" --directory "$DEMO/release" 2>"$DEMO/server.log" >/dev/null &
SERVER_PID=$!
sleep 1
build/native/stamp/stamp build/src/app/Updater.exe --brand "$BRAND" --host "$HOST" \
  --service-path "$DOCUMENT?did=" --download-id "$DOWNLOAD_ID" \
  --output "$DEMO/$BRAND-setup.exe" >/dev/null
echo "2. Stamped $DEMO/$BRAND-setup.exe for http://$HOST$DOCUMENT?did=$DOWNLOAD_ID"

run_updater() {  # run_updater <exe> [arguments]: waits for the updater's end
  local code=0
  timeout 300 "$ROOT/scripts/wine-run.sh" "$@" >>"$DEMO/updater.log" 2>&1 || code=$?
  echo "$code"
}
code=$(run_updater "$DEMO/$BRAND-setup.exe")
PROGRAM="$WINEPREFIX/drive_c/Program Files/$BRAND"
echo "3. The updater installed the product and ended with exit code $code. Installed files:"
(cd "$PROGRAM" && find . -type f | sort | sed 's/^\.\//     /')
echo "   \"Installed\" records, registry values and the recorded product version:"
reg_query "HKCU\\Software\\$BRAND\\Installed" | sed 's/^ */     /' | grep REG_SZ || true
reg_query "HKCU\\Software\\$BRAND\\Settings" | sed 's/^ */     /' | grep REG_SZ || true
reg_query "HKCU\\Software\\$BRAND" | grep -E "FileVersion|ExeName|DownloaderLocation" | sed 's/^ */     /' || true
echo "   Uninstall entry:"
reg_query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$BRAND" | grep REG_SZ | sed 's/^ */     /' || true
echo "   The product was started: $(head -1 "$PROGRAM/bin/started.txt" 2>/dev/null || echo 'no')"

echo "Nimbra demo product, release 2" >"$DEMO/product/readme.txt"
publish
before=$(wc -l <"$DEMO/server.log")
code=$(run_updater "C:\\Program Files\\$BRAND\\$BRAND.exe")
echo "4. Published release 2 (readme.txt changed, chime.wav dropped) and ran the installed updater: exit code $code."
echo "   Requests it made:"
tail -n +"$((before + 1))" "$DEMO/server.log" | grep -o '"GET [^"]*"' | sed 's/^/     /'
echo "   readme.txt now reads: $(tr -d '\r' <"$PROGRAM/readme.txt")"
echo "   sounds\\chime.wav is $([ -e "$PROGRAM/sounds/chime.wav" ] && echo 'still there' || echo 'gone'), recorded as:" \
  "$(reg_query "HKCU\\Software\\$BRAND\\Installed" | grep -i chime | sed 's/^ *//')"
