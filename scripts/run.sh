#!/bin/bash
# Builds Starmill and runs it from the directory that holds Data/.
# With a display (DISPLAY set) it simply starts the program: Escape ends it.
# Without one it starts the project's private X server, lets the program run
# there for a few seconds, saves a screenshot of each view mode (with the FPS
# overlay on), prints their paths, ends the program with Escape and stops
# the server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
  exec build/starmill
fi

out=${STARMILL_SHOTS:-$PWD/out}
mkdir -p "$out"
eval "$(scripts/xserver.sh start)"
trap 'scripts/xserver.sh stop' EXIT
echo "No DISPLAY: running on the private X server $DISPLAY"
build/starmill > "$out/starmill.log" &
pid=$!
sleep 4
xdotool key f
sleep 3
import -window root -crop 640x480+0+0 "$out/perspective.png"
xdotool key m
sleep 4
import -window root -crop 640x480+0+0 "$out/flat.png"
xdotool key Escape
status=0
wait "$pid" || status=$?
echo "starmill ended with status $status (its messages: $out/starmill.log)"
echo "Screenshots:"
echo "  $out/perspective.png"
echo "  $out/flat.png"
