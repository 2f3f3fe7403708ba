#!/bin/bash
# Runs the benchmarks: the simulation step without a display, then the real
# frame and the whole program's frame rate on the private X server.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
install_packages scripts/packages-test.txt
build default

echo "== simulation step, GL calls to a stand-in that does nothing ($(nproc) cores)"
build/bench/sim_bench

eval "$(scripts/xserver.sh start)"
trap 'scripts/xserver.sh stop' EXIT
echo "== the real frame, largest universe, 640x480 window on $DISPLAY"
build/bench/frame_bench
echo "== the whole program, full-screen 640x480"
BUILD=build python3 bench/program_fps.py
