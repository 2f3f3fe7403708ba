#!/bin/bash
# Builds the program and runs it from the repository, which holds Data/.
# Missing Debian packages are installed first, which needs root; an X server
# is installed only where there is no display.
# With a display (DISPLAY set) it simply starts Starmill: Escape ends it.
# Without one it starts the project's private X server, runs Starmill there,
# saves a screenshot of each view mode (FPS overlay on) into out/, ends the
# program with Escape and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

if [ -n "${DISPLAY:-}" ]; then
  install_packages scripts/packages-build.txt
  build program
  exec build-program/starmill
fi

install_packages scripts/packages-build.txt scripts/packages-xserver.txt
build program
out=${STARMILL_SHOTS:-$PWD/out}
mkdir -p "$out"
log=$out/starmill.log
eval "$(scripts/xserver.sh start)"
trap 'scripts/xserver.sh stop' EXIT
echo "No DISPLAY: running on the private X server $DISPLAY"
build-program/starmill > "$log" &
pid=$!

# Zoom out and back: the two lines show that every key before them has been
# handled and frames drawn after it.
settle() {
  xdotool key Next Prior
  wait_for_output "$pid" "$log" "Zoom=" "$1"
}

wait_for_output "$pid" "$log" "Size of the image data" 2
settle 2  # keys reach the program
xdotool key f
settle 4
# The overlay measures over a second before it shows a figure.
sleep 1.5
import -window root -crop 640x480+0+0 "$out/perspective.png"
xdotool key m
settle 6
import -window root -crop 640x480+0+0 "$out/flat.png"
xdotool key Escape
status=0
wait "$pid" || status=$?
echo "starmill ended with status $status (its messages: $log)"
echo "Screenshots:"
echo "  $out/perspective.png"
echo "  $out/flat.png"
