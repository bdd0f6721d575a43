#!/bin/bash
# Installs the Debian packages that building and testing need. Idempotent.
set -euo pipefail
PKGS=(g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build wine wine64
      xvfb dpkg-dev g++ googletest curl xauth python3 ca-certificates fonts-dejavu-core
      pkg-config libssl-dev openssl libzstd-dev libflac-dev)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${PKGS[@]}"; do
  installed "$p" || missing+=("$p")
done
# The release server of the nginx end-to-end test (deploy/nginx): the smallest
# build of Debian's nginx where the release has it, else plain nginx.
need_nginx=""
installed nginx-light || installed nginx || need_nginx=1

# The distribution's nginx service would listen on port 80 of every address,
# where the tests and the demo run their own servers on loopback addresses.
# Keep it from starting while the package installs (a policy-rc.d answering
# 101 forbids service starts), then stop and disable it in case it runs anyway.
POLICY=/usr/sbin/policy-rc.d
own_policy=""
trap '[ -z "$own_policy" ] || rm -f "$POLICY"' EXIT

if ((${#missing[@]})) || [ -n "$need_nginx" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ -n "$need_nginx" ]; then
    if apt-cache show nginx-light >/dev/null 2>&1; then missing+=(nginx-light); else missing+=(nginx); fi
    if [ ! -e "$POLICY" ]; then
      printf '#!/bin/sh\nexit 101\n' >"$POLICY"
      chmod 755 "$POLICY"
      own_policy=1
    fi
  fi
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ -x /usr/sbin/nginx ]; then
  if [ -d /run/systemd/system ]; then
    systemctl disable --now nginx >/dev/null 2>&1 || true
  else
    update-rc.d nginx disable >/dev/null 2>&1 || true
    # Stops only the instance of the default configuration (its pid file).
    if [ -s /run/nginx.pid ]; then /usr/sbin/nginx -s quit >/dev/null 2>&1 || true; fi
  fi
fi
