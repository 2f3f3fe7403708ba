#!/bin/bash
# Installs the Debian packages that building, running and testing Starmill
# need; does nothing when they are all present already.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < "$here/packages.txt"
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
# Fonts unpacked after fontconfig built its caches leave them stale; the
# first program to notice would rebuild them in the middle of a test.
if command -v fc-cache > /dev/null; then
  fc-cache -f
fi
