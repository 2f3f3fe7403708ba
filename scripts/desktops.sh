#!/bin/bash
# Runs the real program against each desktop's own screen saver, as Debian
# ships them, and prints what held each one (scripts/desktops.py says how):
#   scripts/desktops.sh [--jobs N] [NAME...]
# Installs the desktops' pieces first (scripts/packages-desktops.txt, without
# recommends: some 500 packages) and builds the program; needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
install_packages scripts/packages-build.txt scripts/packages-xserver.txt scripts/packages-desktops.txt

# Debian 12 has no xfce4-screensaver: its row runs Debian 13's, from a
# minimal Debian 13 system kept in STARMILL_TRIXIE_ROOT (made once; dbus-x11
# stands for the session bus that would otherwise bring in systemd).
trixie=${STARMILL_TRIXIE_ROOT:-/var/cache/starmill/trixie}
if [ ! -x "$trixie/usr/bin/xfce4-screensaver" ]; then
  echo "Making a Debian 13 system for Xfce's screen saver in $trixie (its log: $trixie.log)"
  install_packages <(echo debootstrap)
  mirror=$(sed -n 's/^URIs: *//p; s/^deb \(http[^ ]*\) .*/\1/p' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list \
    2> /dev/null | head -n 1)
  rm -rf "$trixie"
  mkdir -p "$(dirname "$trixie")"
  { debootstrap --variant=minbase trixie "$trixie" "${mirror:-http://deb.debian.org/debian}" &&
    DEBIAN_FRONTEND=noninteractive chroot "$trixie" apt-get install -y --no-install-recommends \
      dbus-daemon dbus-x11 libglib2.0-bin xfconf xfce4-screensaver; } > "$trixie.log" 2>&1 ||
    { tail -n 20 "$trixie.log" >&2; exit 1; }
fi
export STARMILL_TRIXIE_ROOT=$trixie

build program > /dev/null
exec python3 scripts/desktops.py "$@"
