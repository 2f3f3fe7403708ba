#!/bin/bash
# Runs a command on the private X server that `xserver.sh start DIR` left
# named in DIR/env; without that file, the command runs as it is (listing
# tests needs no display). Whatever the command starts ends with it, and
# it is ended, with all it started, after STARMILL_TEST_DEADLINE seconds
# (870 by default: CTest's timeout for these tests is 900).
#   scripts/with-xserver.sh DIR COMMAND...
set -euo pipefail
state=$1
shift
if [ -f "$state/env" ]; then
  set -a
  . "$state/env"
  set +a
fi
exec "$(dirname "$0")/reaper.py" "${STARMILL_TEST_DEADLINE:-870}" "$@"
