#!/bin/bash
# Runs a command on the private X server that `xserver.sh start DIR` left
# named in DIR/env; without that file, the command runs as it is (listing
# tests needs no display).
#   scripts/with-xserver.sh DIR COMMAND...
set -euo pipefail
state=$1
shift
if [ -f "$state/env" ]; then
  set -a
  . "$state/env"
  set +a
fi
exec "$@"
