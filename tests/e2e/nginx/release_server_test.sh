#!/bin/bash
# The release server's answers, asked natively with curl from a private nginx
# instance (deploy/nginx/release-server.sh) on a loopback address: documents
# by download id and by plain path, product files, and refusals of every id
# that could reach outside documents/.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
SERVER="$ROOT/deploy/nginx/release-server.sh"
WORK="$(mktemp -d)"
trap 'bash "$SERVER" stop "$WORK/server"; rm -rf "$WORK"' EXIT
failures=0

TREE="$WORK/tree"
mkdir -p "$TREE/documents" "$TREE/files/bin" "$TREE/files/empty"
printf '<UpdateDocument IsSucceed="true"/>\r\n' >"$TREE/documents/6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f"
printf 'beta' >"$TREE/documents/beta.2"
head -c 70000 /dev/urandom >"$TREE/files/bin/app.exe.Kelz"
printf 'outside' >"$TREE/secret"
printf 'hidden' >"$TREE/documents/.hidden"

# A loopback address and port where nothing listens; nginx may still lose a
# race for it, so try a few.
started=""
for attempt in 1 2 3 4 5; do
  HOST="127.0.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1))"
  PORT=$((RANDOM % 20000 + 30000))
  if bash "$SERVER" start "$WORK/server" "$TREE" "$HOST:$PORT" 120 2>"$WORK/start.err"; then
    started=1
    break
  fi
done
if [ -z "$started" ]; then
  echo "FAILED: nginx did not start: $(cat "$WORK/start.err")"
  exit 1
fi
BASE="http://$HOST:$PORT"

# expect <path> <status> [<file whose bytes the body must be>] [<content type>]
expect() {
  local path="$1" status="$2" body="${3:-}" type="${4:-}" got
  got="$(curl -s -o "$WORK/body" -w '%{http_code} %{content_type}' "$BASE$path")"
  if [ "${got%% *}" != "$status" ]; then
    echo "FAILED: $path answered ${got%% *}, expected $status"
    failures=$((failures + 1))
  elif [ -n "$body" ] && ! cmp -s "$WORK/body" "$body"; then
    echo "FAILED: $path did not send the bytes of $body"
    failures=$((failures + 1))
  elif [ -n "$type" ] && [ "${got#* }" != "$type" ]; then
    echo "FAILED: $path sent Content-Type ${got#* }, expected $type"
    failures=$((failures + 1))
  else
    echo "ok: $path -> $status"
  fi
}

SERVICE="/DownloadService.svc/GetUpdateXML"
GUID=6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f
# The service: a known id gives its document, whatever other arguments come along.
expect "$SERVICE?did=$GUID" 200 "$TREE/documents/$GUID" text/xml
expect "$SERVICE?lang=en&did=beta.2" 200 "$TREE/documents/beta.2" text/xml
# The plain path of the same documents, for a static server or CDN.
expect "/documents/$GUID" 200 "$TREE/documents/$GUID" text/xml
# Files: the stored bytes, as a byte stream.
expect "/files/bin/app.exe.Kelz" 200 "$TREE/files/bin/app.exe.Kelz" application/octet-stream

# Nothing for an unknown, missing or empty id.
expect "$SERVICE?did=00000000-0000-0000-0000-000000000000" 404
expect "$SERVICE" 404
expect "$SERVICE?did=" 404
expect "$SERVICE?other=$GUID" 404
# Ids that would leave documents/ or name a hidden file.
for did in ../secret ..%2Fsecret %2E%2E%2Fsecret .. . .hidden beta..2 beta.2. a/b %2Fetc%2Fpasswd "$GUID%00"; do
  expect "$SERVICE?did=$did" 404
done
# No listings, nothing outside documents/ and files/.
expect "/files/" 404
expect "/files/empty/" 404
expect "/documents/" 404
expect "/secret" 404
expect "/files/../secret" 404
expect "/" 404

# Every request above is in the instance's own access log.
requests=$(grep -c '"GET ' "$WORK/server/logs/access.log")
if [ "$requests" -lt 20 ]; then
  echo "FAILED: the access log holds $requests requests"
  failures=$((failures + 1))
fi

bash "$SERVER" stop "$WORK/server"
if timeout 1 bash -c "exec 3<>/dev/tcp/$HOST/$PORT" 2>/dev/null || [ -e "$WORK/server/nginx.pid" ]; then
  echo "FAILED: nginx still serves after stop"
  failures=$((failures + 1))
fi

if [ "$failures" -gt 0 ]; then
  echo "FAILED: $failures checks"
  exit 1
fi
echo "PASSED"
