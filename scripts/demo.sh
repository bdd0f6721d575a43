#!/bin/bash
# The main job, on a fresh Debian 12 machine as root: builds everything,
# publishes a small sample product with the release tool, serves it with nginx
# on a loopback address, stamps an updater for it and runs it under Wine on a
# virtual display. The updater installs and starts the product; the job shows
# what was installed and keeps a picture of the dialog during the download.
# Then it publishes a changed release, runs the installed updater again
# (which fetches only the changed file) and uninstalls the product, answering
# the question as a user would. Each step prints one line; details follow it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
echo "Setting up and building (a first run installs Debian packages and takes several minutes)..."
bash scripts/setup.sh >/dev/null
cmake --build --preset windows >/dev/null
echo "0. Built the updater, the tools and the sample product."

BRAND=NimbraDemo
HOST=127.0.0.77
DOWNLOAD_ID=demo-release
SERVICE_PATH="/DownloadService.svc/GetUpdateXML?did="
DEMO="$ROOT/build/demo-run"
PUBLISH="$ROOT/build/native/publish/publish"
rm -rf "$DEMO"
mkdir -p "$DEMO/product/bin" "$DEMO/product/fonts" "$DEMO/product/sounds" "$DEMO/tools"

STATE="$DEMO/testbed.state"
export WINEPREFIX="$DEMO/prefix"
finish() {
  bash "$ROOT/deploy/nginx/release-server.sh" stop "$DEMO/nginx" >/dev/null 2>&1 || true
  bash "$ROOT/scripts/testbed.sh" stop "$STATE"
}
trap finish EXIT
bash scripts/testbed.sh start "$STATE"
set -a
# shellcheck disable=SC1090
. "$STATE"
set +a
wine_run() { "$ROOT/scripts/wine-run.sh" "$@"; }
# The job fails (and the test that runs it with it) when a step went wrong.
expect() {  # expect <what> <condition...>
  local what="$1"
  shift
  if ! "$@"; then
    echo "FAILED: $what" >&2
    exit 1
  fi
}
winpath() { wine_run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
reg_values() {  # reg_values <key>: its REG_SZ values, indented
  wine_run reg query "$1" 2>/dev/null | tr -d '\r' | grep REG_SZ | sed 's/^ */     /' || true
}
DRIVER="$ROOT/build/demo/demo_driver.exe"

# The sample product: a program with a version resource, the library it
# loads, a text file, a font and a sound.
cp build/demo/NimbraDemoApp.exe build/demo/greeting.dll "$DEMO/product/bin/"
echo "Nimbra demo product, release 1" >"$DEMO/product/readme.txt"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$DEMO/product/fonts/"
python3 - "$DEMO/product/sounds/chime.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.06))) for i in range(22050)))
PY
cp build/tools/unkelz/unkelz.exe build/tools/unkelw/unkelw.exe "$DEMO/tools/"

# The release's signing key: the updater accepts only documents signed with it.
"$PUBLISH" keygen --out "$DEMO/release-key" >/dev/null
CHECKSUM=$("$PUBLISH" token build/src/app/Updater.exe | cut -d' ' -f1)
build/native/stamp/stamp build/src/app/Updater.exe --brand "$BRAND" --host "$HOST" \
  --service-path "$SERVICE_PATH" --download-id "$DOWNLOAD_ID" --checksum "$CHECKSUM" \
  --public-key "$DEMO/release-key.pub.pem" --output "$DEMO/$BRAND-setup.exe" >/dev/null
echo "1. Stamped $DEMO/$BRAND-setup.exe for http://$HOST$SERVICE_PATH$DOWNLOAD_ID," \
  "with the public key of a new signing key pair ($DEMO/release-key.*)"

publish() {  # publish <release number>
  "$PUBLISH" release --settings demo/release.conf --files "$DEMO/product" --tools "$DEMO/tools" \
    --updater "$DEMO/$BRAND-setup.exe" --out "$DEMO/release" --replace \
    --key "$DEMO/release-key.key" --release-number "$1" | sed 's/^/   /'
}
publish 1
echo "2. Published release 1, signed, into $DEMO/release:"
(cd "$DEMO/release" && find . -type f | sort | sed 's/^\.\//     /')

bash deploy/nginx/release-server.sh start "$DEMO/nginx" "$DEMO/release" "$HOST:80"
ACCESS_LOG="$DEMO/nginx/logs/access.log"
echo "3. nginx serves the release at http://$HOST/ (log: $ACCESS_LOG)"

run_updater() {  # run_updater <exe> [arguments]: waits for the updater's end, prints its exit code
  local code=0
  timeout 300 "$ROOT/scripts/wine-run.sh" "$@" >>"$DEMO/updater.log" 2>&1 || code=$?
  echo "$code"
}
wine_run "$DRIVER" snapshot "$(winpath "$DEMO/dialog.bmp")" 120000 >/dev/null 2>&1 &
SNAPSHOT_PID=$!
code=$(run_updater "$DEMO/$BRAND-setup.exe")
PICTURE="no picture (the download ended before the dialog showed it)"
if wait "$SNAPSHOT_PID" && python3 scripts/bmp-to-png.py "$DEMO/dialog.bmp" "$DEMO/dialog.png"; then
  PICTURE="$DEMO/dialog.png"
fi
PROGRAM="$WINEPREFIX/drive_c/Program Files/$BRAND"
echo "4. The updater installed the product and ended with exit code $code. Installed files:"
(cd "$PROGRAM" && find . -type f | sort | sed 's/^\.\//     /')
echo "   \"Installed\" records:"
reg_values "HKCU\\Software\\$BRAND\\Installed"
echo "   Registry values from the document, and what the run recorded:"
reg_values "HKCU\\Software\\$BRAND\\Settings"
reg_values "HKCU\\Software\\$BRAND" | grep -E "FileVersion|ExeName|DownloaderLocation" || true
echo "   Uninstall entry:"
reg_values "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$BRAND"
echo "   The product was started: $(tr -d '\r' <"$PROGRAM/bin/started.txt" 2>/dev/null | sed -n '1p;3p' | paste -sd ';' || echo 'no')"
echo "   The dialog during the download: $PICTURE"
expect "the first run ends with 0" [ "$code" = 0 ]
expect "the product was started" grep -q "hello from greeting.dll" "$PROGRAM/bin/started.txt"

echo "Nimbra demo product, release 2" >"$DEMO/product/readme.txt"
rm "$DEMO/product/sounds/chime.wav"
publish 2
before=$(wc -l <"$ACCESS_LOG")
code=$(run_updater "C:\\Program Files\\$BRAND\\$BRAND.exe")
echo "5. Published release 2 (readme.txt changed, chime.wav dropped); the installed updater ran again: exit code $code."
echo "   Highest signed release accepted: $(reg_values "HKCU\\Software\\$BRAND\\Releases" | sed 's/^ *//')"
echo "   Requests it made:"
tail -n +"$((before + 1))" "$ACCESS_LOG" | grep -o '"GET [^"]*"' | sed 's/^/     /'
echo "   readme.txt now reads: $(tr -d '\r' <"$PROGRAM/readme.txt")"
expect "the update ends with 0" [ "$code" = 0 ]
expect "the update fetches the document and readme.txt only" \
  [ "$(tail -n +"$((before + 1))" "$ACCESS_LOG" | grep -c '"GET ')" = 2 ]
echo "   sounds\\chime.wav is $([ -e "$PROGRAM/sounds/chime.wav" ] && echo 'still there' || echo 'gone')," \
  "recorded as: $(reg_values "HKCU\\Software\\$BRAND\\Installed" | grep -i chime | sed 's/^ *//')"

# The installed copy starts a copy of itself in the temporary folder and ends;
# that copy asks "Are you sure ...?" (answered Yes) and reports the removal
# (answered OK), whose exit code the driver passes on.
wine_run "$DRIVER" answer Uninstall 6 60000 >/dev/null 2>&1 &
QUESTION_PID=$!
run_updater "C:\\Program Files\\$BRAND\\$BRAND.exe" /uninstall >/dev/null
code=0
wine_run "$DRIVER" answer Downloader 1 60000 >/dev/null 2>&1 || code=$?
wait "$QUESTION_PID" || true
gone() { [ -e "$1" ] && echo "still there" || echo "gone"; }
key_gone() { wine_run reg query "$1" >/dev/null 2>&1 && echo "still there" || echo "gone"; }
echo "6. Uninstalled through the installed copy's /uninstall, answered Yes: exit code $code."
echo "   Program folder: $(gone "$PROGRAM"); desktop shortcut: $(gone "$WINEPREFIX/drive_c/users/$(id -un)/Desktop/$BRAND.lnk");" \
  "product key: $(key_gone "HKCU\\Software\\$BRAND");" \
  "uninstall entry: $(key_gone "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$BRAND")"
expect "the uninstall ends with 0" [ "$code" = 0 ]
expect "the uninstall removes the program folder" [ ! -e "$PROGRAM" ]
echo "7. Stopped nginx, the virtual display and Wine."
