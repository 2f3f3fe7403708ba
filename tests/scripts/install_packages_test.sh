#!/bin/bash
# install_packages against a stand-in apt-get, as on a desktop just booted:
# another program holds the package manager's lock, and the install itself
# then fails. The wait must reach the install, and the failure must fail the
# step with apt's own words.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
stand_ins=$(mktemp -d)
trap 'rm -rf "$stand_ins"' EXIT

# Root, and no package installed.
printf '#!/bin/sh\necho 0\n' > "$stand_ins/id"
printf '#!/bin/sh\nexit 1\n' > "$stand_ins/dpkg-query"
cat > "$stand_ins/apt-get" <<'APT'
#!/bin/bash
[ "${*: -1}" = update ] && exit 0
lock="Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (unattended-upgr)"
# Without the wait, apt gives up at once.
if [[ " $* " != *" DPkg::Lock::Timeout=600 "* ]]; then
  echo "E: $lock"
  exit 100
fi
echo "Waiting for cache lock: $lock... 2s"
sleep 2
echo "E: Unable to locate package starmill-nonesuch"
exit 100
APT
chmod +x "$stand_ins"/*

cd "$source_dir"
. scripts/common.sh
status=0
PATH=$stand_ins:$PATH STARMILL_APT_LOG=$stand_ins/apt.log install_packages <(echo starmill-nonesuch) \
  > "$stand_ins/out" 2> "$stand_ins/err" || status=$?

fail() { echo "FAILED: $1"; cat "$stand_ins"/{out,err}; exit 1; }
[ "$status" -ne 0 ] || fail "a failed install reported success"
grep -q "waiting for it" "$stand_ins/out" || fail "the wait for the lock was not told"
grep -q "^E: Unable to locate package starmill-nonesuch" "$stand_ins/err" ||
  fail "the install did not wait for the lock, or apt's reason was not shown"
echo "install_packages: waits for the lock and fails with apt's reason"
