#!/bin/bash
# The GL driver stack is whatever libGL loads at run time, and the names of
# its files change from one Mesa version to the next. `probe` runs a GL
# program once and records those libraries; `run` then runs a sanitizer
# build with them kept loaded to the end (an unloaded library's allocations
# have no name) and their allocations left out of the leak report: the
# driver keeps some until the process ends. Leaks in the program's own code
# are still reported.
#   scripts/gl-stack.sh probe DIR PROGRAM...
#   scripts/gl-stack.sh run DIR COMMAND...
set -euo pipefail
mode=$1 dir=$2
shift 2
case $mode in
  probe)
    # Everything loaded from the first library opened at run time on. ld.so
    # names each library asked for, found or not (a driver probes for some
    # that few systems have); only one that it goes on to map is loaded.
    LD_DEBUG=files ASAN_OPTIONS=detect_leaks=0 "$@" 2>&1 > /dev/null |
      sed -n 's/^ *[0-9]*:[[:space:]]*file=\([^ ]*\) \[0\]; *\(dynamically loaded\|needed\|generating link map\).*/\1 \2/p' |
      awk '$2 == "dynamically" { on = 1 }
           on && ($2 == "dynamically" || $2 == "needed") && !asked[$1]++ { order[n++] = $1 }
           $2 == "generating" { mapped[$1] = 1 }
           END { for (i = 0; i < n; i++) if (order[i] in mapped) print order[i] }' > "$dir/gl-stack.modules"
    [ -s "$dir/gl-stack.modules" ] || { echo "no library was loaded at run time" >&2; exit 1; }
    sed 's|.*/||; s|^|leak:|' "$dir/gl-stack.modules" | awk '!seen[$0]++' > "$dir/gl-stack.supp"
    cat "$dir/gl-stack.supp" ;;
  run)
    # Without a probe's record (listing tests needs no display) the command
    # runs as it is.
    [ -f "$dir/gl-stack.modules" ] || exec "$@"
    export LD_PRELOAD
    LD_PRELOAD=$(paste -sd: "$dir/gl-stack.modules")
    export LSAN_OPTIONS=suppressions=$dir/gl-stack.supp:print_suppressions=0
    exec "$@" ;;
  *) echo "usage: $0 probe|run DIR ..." >&2; exit 2 ;;
esac
