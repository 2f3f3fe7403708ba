#!/usr/bin/env python3
"""Frames per second of the whole program on the private X server (full
screen, 640x480), for the largest and the smallest universe that start-up
seeds within an hour of clock seconds, in both view modes.

The clock that seeds the generator is pinned with libfaketime; a preloaded
library records the time of every buffer swap. View mode 1 is measured over
the first universe; then the m key switches to view mode 0, which reseeds,
and the second universe is measured. Needs DISPLAY; run from the build tree's
parent with BUILD set to the build directory."""
import calendar
import os
import subprocess
import sys
import tempfile
import time

BUILD = os.environ.get("BUILD", "build")
SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MULTIARCH = subprocess.run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"], capture_output=True, text=True,
                           check=True).stdout.strip()
FAKETIME_LIB = f"/usr/lib/{MULTIARCH}/faketime/libfaketime.so.1"
START = calendar.timegm((2026, 12, 7, 10, 0, 0))


def scan():
    out = subprocess.run([f"{BUILD}/tests/seed_scan", str(START), "3600"], capture_output=True,
                         text=True, check=True).stdout.split("\n")
    rows = [tuple(map(int, line.split())) for line in out if line]
    return rows


def fps(stamps, start, end):
    frames = [t for t in stamps if start <= t < end]
    if len(frames) < 2:
        return float("nan")
    return (len(frames) - 1) / (frames[-1] - frames[0])


def run(second):
    clock = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(second))
    with tempfile.NamedTemporaryFile(suffix=".log") as log:
        env = {**os.environ, "TZ": "UTC", "FAKETIME": clock, "DONT_FAKE_MONOTONIC": "1",
               "FAKETIME_DONT_FAKE_MONOTONIC": "1", "STARMILL_SWAP_LOG": log.name,
               "LD_PRELOAD": f"{FAKETIME_LIB}:{os.path.abspath(BUILD)}/bench/libswap_clock.so"}
        proc = subprocess.Popen([os.path.abspath(f"{BUILD}/starmill")], cwd=SOURCE, env=env,
                                stdout=subprocess.DEVNULL)
        time.sleep(3.0)
        switched = time.monotonic()
        subprocess.run(["xdotool", "key", "m"], check=True)
        time.sleep(3.0)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        proc.wait(30)
        stamps = [float(x) for x in open(log.name).read().split()]
    # View mode 1: frames 50 on of the first universe, until the key.
    mode1 = fps(stamps, stamps[min(50, len(stamps) - 1)], min(switched, stamps[min(800, len(stamps) - 1)]))
    after = [t for t in stamps if t > switched + 0.2]
    mode0 = fps(after, after[0], after[min(700, len(after) - 1)]) if after else float("nan")
    return mode1, mode0


def main():
    rows = scan()
    largest_first = max(rows, key=lambda r: r[1])
    smallest_first = min(rows, key=lambda r: r[1])
    largest_second = max(rows, key=lambda r: r[2])
    smallest_second = min(rows, key=lambda r: r[2])
    print("universe          stars  view mode  frames/s")
    for label, row, column in (("largest", largest_first, 1), ("smallest", smallest_first, 1),
                               ("largest", largest_second, 0), ("smallest", smallest_second, 0)):
        mode1, mode0 = run(row[0])
        value = mode1 if column == 1 else mode0
        stars = row[1] if column == 1 else row[2]
        print(f"{label:<16} {stars:>6}  {column:>9}  {value:8.1f}", flush=True)


if __name__ == "__main__":
    sys.exit(main())
