#!/bin/bash
# Regenerates the pictures: the icon (dist/starmill.svg) and the window's
# (src/window/icon.cpp), and the README's
# animation of one collision from seeding to restart (docs/collision.gif)
# and stills of both view modes (docs/perspective.png, docs/flat.png).
# The real program runs on the private X server with the clock that seeds
# it pinned, under apitrace; its frames are then replayed and saved, so the
# same universe is shown every time (the flat still's moment depends on when
# the m key lands).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
install_packages scripts/packages-test.txt
build default

# Two galaxies that meet in the middle of the view. The clock stands still
# there (-f), so every run seeds the same universe.
clock="2026-12-07 10:00:00"
build/galaxy_icon svg > dist/starmill.svg
build/galaxy_icon argb src/window/icon.cpp

eval "$(scripts/xserver.sh start)"
work=$(mktemp -d)
trap 'scripts/xserver.sh stop; rm -rf "$work"' EXIT

# record NAME SECONDS KEY...: runs the program under apitrace for about
# SECONDS after its scene is set up, pressing the keys first.
record() {
  local name=$1 seconds=$2
  shift 2
  TZ=UTC faketime --exclude-monotonic -f "$clock" apitrace trace -o "$work/$name.trace" build/starmill \
    > "$work/$name.log" 2>&1 &
  local pid=$!
  wait_for_output "$pid" "$work/$name.log" "Size of the image data" 2
  [ $# -eq 0 ] || xdotool key "$@"
  # Frames can't be counted while they are recorded; the replay checks there
  # were enough.
  sleep "$seconds"
  xdotool key Escape
  wait "$pid"
}

# replay NAME EVERY: saves every EVERY-th frame as $work/NAME/NNNN.png.
replay() {
  mkdir -p "$work/$1"
  glretrace --snapshot-prefix="$work/$1/" --snapshot-interval="$2" "$work/$1.trace" > /dev/null
  ls "$work/$1"/*.png | sort
}

# The perspective view: one universe, seeding to restart (frame 801) and
# the new one's first frames. The frame on show at replay is never the
# first, whose buffer is not drawn yet.
record show 30
mapfile -t frames < <(replay show 6)
[ ${#frames[@]} -gt 135 ] || { echo "too few frames recorded (${#frames[@]})" >&2; exit 1; }
convert -delay 5 -loop 0 "${frames[@]:1:134}" -resize 360x270 -level 0%,60% -layers Optimize \
  docs/collision.gif
convert "${frames[60]}" -level 0%,60% docs/perspective.png

# The flat projection: m reseeds at once, in the flat view.
record flat 12 m
mapfile -t frames < <(replay flat 50)
convert "${frames[6]}" -level 0%,60% docs/flat.png

ls -l dist/starmill.svg docs/collision.gif docs/perspective.png docs/flat.png
