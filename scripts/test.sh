#!/bin/bash
# The whole test suite: installs what is missing, builds, runs the unit tests,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the tests that need a real X server on a private one.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

. scripts/common.sh
install_packages scripts/packages-test.txt

echo "== build"
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== build with sanitizers"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DSTARMILL_SANITIZE=ON

echo "== unit tests"
ctest --test-dir build -L headless --output-on-failure -j "$jobs"

echo "== unit tests with sanitizers"
ctest --test-dir build-asan -L headless --output-on-failure -j "$jobs"

echo "== fuzzing the BMP reader for ${STARMILL_FUZZ_SECONDS:=60} s"
build build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSTARMILL_FUZZ=ON -- bmp_fuzz
corpus=$(mktemp -d)
cp tests/fuzz/corpus/* "$corpus"/
build-fuzz/bmp_fuzz -max_total_time="$STARMILL_FUZZ_SECONDS" -max_len=4096 -print_final_stats=1 \
  "$corpus" 2> build-fuzz/fuzz.log || { tail -40 build-fuzz/fuzz.log; exit 1; }
grep -E "^stat::number_of_executed_units|^Done" build-fuzz/fuzz.log
rm -rf "$corpus"

echo "== tests on the private X server"
eval "$(scripts/xserver.sh start)"
trap 'scripts/xserver.sh stop' EXIT
echo "X server on $DISPLAY"
# Under the sanitizers the GL driver is preloaded, so that it stays loaded to
# the end and its own allocations can be told apart from the program's.
export STARMILL_DRI_DRIVER=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/dri/swrast_dri.so
LD_PRELOAD=$STARMILL_DRI_DRIVER ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
  LSAN_OPTIONS=suppressions=$PWD/tests/e2e/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-asan -L x11 --output-on-failure
# The end-to-end tests also run the sanitizer build of the program once.
STARMILL_ASAN=$PWD/build-asan/starmill STARMILL_SOAK_SECONDS=${STARMILL_SOAK_SECONDS:-120} \
  ctest --test-dir build -L x11 --output-on-failure
