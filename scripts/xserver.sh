#!/bin/bash
# Starts or stops the project's private X server (Xorg, dummy driver).
#   eval "$(scripts/xserver.sh start)"   exports DISPLAY and STARMILL_XSERVER_PID
#   scripts/xserver.sh stop              stops the server named by STARMILL_XSERVER_PID
#   scripts/xserver.sh start DIR         (CTest's fixture) writes DIR/env instead
#   scripts/xserver.sh stop DIR          stops the server that DIR/env names, and
#                                        fails if anything else of the tests still runs
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
logs=${STARMILL_XSERVER_DIR:-/tmp/starmill-xserver}

start() {
  local n=20
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  mkdir -p "$logs"
  # A session of its own: the server outlives the process that started it.
  setsid Xorg -noreset -nolisten tcp -config "$here/xorg-dummy.conf" -logfile "$logs/Xorg.$n.log" \
    ":$n" > "$logs/Xorg.$n.out" 2>&1 < /dev/null &
  local pid=$!
  for _ in $(seq 1 100); do
    if xdpyinfo -display ":$n" > /dev/null 2>&1; then
      echo "DISPLAY=:$n STARMILL_XSERVER_PID=$pid"
      return 0
    fi
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  echo "The private X server did not start; see $logs/Xorg.$n.log" >&2
  kill "$pid" 2> /dev/null || true
  return 1
}

# The process id that DIR/env records.
recorded_pid() { sed -n 's/^STARMILL_XSERVER_PID=//p' "$1/env"; }

# Every process of the tests on server DIR carries STARMILL_TESTS=DIR in its
# environment (the server itself too). Those still running are named, ended
# and fail the stop.
end_leftovers() {
  local mark="STARMILL_TESTS=$1" pid left=0
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$pid" != $$ ] || continue
    if grep -qzxF -- "$mark" "/proc/$pid/environ" 2> /dev/null; then
      echo "Left running by the tests: $pid $(tr '\0' ' ' 2> /dev/null < "/proc/$pid/cmdline")" >&2
      kill -9 "$pid" 2> /dev/null || true
      left=1
    fi
  done
  return $left
}

stop() {
  local pid=${1:-}
  [ -n "$pid" ] || return 0
  kill "$pid" 2> /dev/null || return 0
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2> /dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2> /dev/null || true
}

case "${1:-} ${2:+dir}" in
  "start ") echo "export $(start)" ;;
  "stop ") stop "${STARMILL_XSERVER_PID:-}" ;;
  "start dir")
    mkdir -p "$2"
    # A set-up run again (ctest --repeat) replaces the server it started.
    if [ -f "$2/env" ]; then
      stop "$(recorded_pid "$2")"
    fi
    export STARMILL_TESTS=$2
    start | tr ' ' '\n' > "$2/env.new"
    printf 'STARMILL_TESTS=%q\n' "$2" >> "$2/env.new"
    mv "$2/env.new" "$2/env"
    cat "$2/env" ;;
  "stop dir")
    if [ -f "$2/env" ]; then
      stop "$(recorded_pid "$2")"
      rm -f "$2/env"
    fi
    end_leftovers "$2" ;;
  *) echo "usage: $0 start|stop [DIR]" >&2; exit 2 ;;
esac
