# Steps the scripts share: installing Debian packages and building.
# Source it from a script that runs in the repository's root.

# install_packages LIST...: installs the packages named in the list files
# (one a line) that are not installed yet. Installing needs root; apt's
# output goes to a log file, named in case of failure.
install_packages() {
  local missing=() p
  for p in $(cat "$@"); do
    dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root: run this again as root (or with sudo)." >&2
    return 1
  fi
  local log=${STARMILL_APT_LOG:-/tmp/starmill-apt.log}
  echo "Installing ${#missing[@]} Debian packages (apt's output: $log)"
  # On a desktop just booted, unattended-upgrades or PackageKit often holds
  # the package manager's lock: apt waits up to 10 minutes for it.
  local wait_lock=(-o DPkg::Lock::Timeout=600) apt said=
  { apt-get "${wait_lock[@]}" update && DEBIAN_FRONTEND=noninteractive apt-get "${wait_lock[@]}" install -y \
      --no-install-recommends "${missing[@]}"; } > "$log" 2>&1 &
  apt=$!
  while kill -0 "$apt" 2> /dev/null; do
    if [ -z "$said" ] && grep -q "Waiting for cache lock" "$log"; then
      echo "Another program holds the package manager's lock: waiting for it (10 minutes at most)"
      said=1
    fi
    sleep 1
  done
  if ! wait "$apt"; then
    tail -20 "$log" >&2
    echo "Installing failed; see $log" >&2
    return 1
  fi
  # Fonts unpacked after fontconfig built its caches leave them stale; the
  # first program to notice would rebuild them in the middle of a run.
  if command -v fc-cache > /dev/null; then
    fc-cache -f
  fi
}

# build PRESET: configures and builds with one of CMakePresets.json's presets.
build() {
  cmake --preset "$1" > /dev/null
  cmake --build --preset "$1"
}

# wait_for_output PID LOG TEXT COUNT: waits until the program PID has printed
# COUNT lines holding TEXT into LOG. Fails, showing the log, when the program
# ends first or a minute goes by.
wait_for_output() {
  local pid=$1 log=$2 text=$3 count=$4 tries=0
  until [ "$(grep -c -- "$text" "$log")" -ge "$count" ]; do
    if ! kill -0 "$pid" 2> /dev/null || [ $((tries += 1)) -gt 600 ]; then
      cat "$log" >&2
      echo "starmill ended or stalled before printing \"$text\"" >&2
      return 1
    fi
    sleep 0.1
  done
}
