#!/bin/bash
# Starts or stops the project's private X server (Xorg, dummy driver).
#   eval "$(scripts/xserver.sh start)"   exports DISPLAY and STARMILL_XSERVER_PID
#   scripts/xserver.sh stop              stops the server named by STARMILL_XSERVER_PID
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=${STARMILL_XSERVER_DIR:-/tmp/starmill-xserver}

start() {
  local n=20
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  mkdir -p "$state"
  Xorg -noreset -nolisten tcp -config "$here/xorg-dummy.conf" -logfile "$state/Xorg.$n.log" \
    ":$n" > "$state/Xorg.$n.out" 2>&1 &
  local pid=$!
  for _ in $(seq 1 100); do
    if xdpyinfo -display ":$n" > /dev/null 2>&1; then
      echo "export DISPLAY=:$n STARMILL_XSERVER_PID=$pid"
      return 0
    fi
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  echo "The private X server did not start; see $state/Xorg.$n.log" >&2
  kill "$pid" 2> /dev/null || true
  return 1
}

stop() {
  local pid=${STARMILL_XSERVER_PID:-}
  [ -n "$pid" ] || return 0
  kill "$pid" 2> /dev/null || return 0
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2> /dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2> /dev/null || true
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
