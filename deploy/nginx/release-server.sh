#!/bin/bash
# A private nginx instance that serves one release tree with
# nimbra-release.conf, its configuration, pid, logs and temporary files all
# in one folder of its own:
#
#   release-server.sh start <folder> <tree> <address>[:<port>] [<lifetime s>]
#   release-server.sh stop <folder>
#
# start writes <folder>/conf, starts nginx in the background and returns once
# it accepts connections (exit 1, with its error log, when it does not within
# 10 s). With a lifetime, nginx ends by itself after that many seconds, so
# that a test which dies cannot leave it behind; 0 or none: it runs until
# stopped. The requests it served are in <folder>/logs/access.log.
# stop ends the instance recorded in <folder>/nginx.pid and waits for its end.
# LIMIT_RATE in the environment sets nginx's limit_rate, the most bytes a
# second sent on each connection (e.g. 2m), to stand in for a slower network;
# without it there is no limit.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
NGINX="${NGINX:-/usr/sbin/nginx}"
# "&" in a replacement text stays itself (bash 5.2 would put the match there).
shopt -u patsub_replacement 2>/dev/null || true

usage() {
  echo "usage: $0 start <folder> <tree> <address>[:<port>] [<lifetime s>] | stop <folder>" >&2
  exit 2
}

# Copies a template, replacing each @NAME@ given as NAME=value.
render() {
  local template="$1" target="$2" text pair
  text="$(cat "$template")"
  shift 2
  for pair in "$@"; do text="${text//@${pair%%=*}@/${pair#*=}}"; done
  printf '%s\n' "$text" >"$target"
}

# True once something accepts connections at host and port.
accepts() { timeout 1 bash -c "exec 3<>/dev/tcp/$1/$2" 2>/dev/null; }

start() {
  local folder="$1" tree="$2" listen="$3" lifetime="${4:-0}"
  local host="${listen%%:*}" port=80
  [[ "$listen" == *:* ]] && port="${listen##*:}"
  for path in "$folder" "$tree"; do
    # Both go into the configuration as quoted strings.
    if [[ "$path" == *[\"\;\$\\]* || "$path" != /* ]]; then
      echo "not an absolute path nginx can take: $path" >&2
      exit 2
    fi
  done
  if accepts "$host" "$port"; then
    echo "$host:$port is already in use" >&2
    exit 1
  fi
  mkdir -p "$folder/conf" "$folder/logs" "$folder/temp"
  render "$HERE/nimbra-release.conf" "$folder/conf/nimbra-release.conf" \
    "LISTEN=$host:$port" "RELEASE_ROOT=$tree"
  # Workers run as the user who starts the instance, who owns the tree.
  render "$HERE/private-nginx.conf" "$folder/conf/nginx.conf" \
    "PREFIX=$folder" "USER=$(id -un) $(id -gn)" "LIMIT_RATE=${LIMIT_RATE:-0}"
  rm -f "$folder/nginx.pid"
  # Its own session, its output in a file and no other inherited descriptor
  # (a caller under Wine leaves pipes open): nobody waits for nginx's end to
  # see the end of a stream, so the caller's terminal or test runner is free.
  (
    for fd in $(ls "/proc/$BASHPID/fd"); do
      if [ "$fd" -gt 2 ]; then eval "exec $fd>&-" 2>/dev/null || true; fi
    done
    exec setsid timeout "$lifetime" "$NGINX" -p "$folder" -c "$folder/conf/nginx.conf" \
      -e "$folder/logs/error.log" -g "daemon off;" </dev/null >>"$folder/logs/nginx.out" 2>&1
  ) &
  for _ in $(seq 100); do
    if [ -s "$folder/nginx.pid" ] && accepts "$host" "$port"; then return 0; fi
    sleep 0.1
  done
  echo "nginx did not start serving $tree at $host:$port:" >&2
  cat "$folder/logs/error.log" "$folder/logs/nginx.out" >&2 2>/dev/null || true
  stop "$folder"
  exit 1
}

stop() {
  local folder="$1" pid
  pid="$(cat "$folder/nginx.pid" 2>/dev/null || true)"
  [[ "$pid" =~ ^[0-9]+$ ]] || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  rm -f "$folder/nginx.pid"
}

case "${1:-}" in
  start) [ $# -ge 4 ] || usage; start "$2" "$3" "$4" "${5:-0}" ;;
  stop) [ $# -ge 2 ] || usage; stop "$2" ;;
  *) usage ;;
esac
