#!/bin/bash
# The whole test suite: installs what is missing, builds, and runs every test
# twice, normally and under AddressSanitizer and UndefinedBehaviorSanitizer
# (CTest starts and stops the private X server the X tests need), fuzzes the
# BMP reader, and runs the headless suites on Debian's other release architectures.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
install_packages scripts/packages-test.txt scripts/packages-cross.txt

for preset in default sanitizers; do
  echo "== build ($preset)"
  build "$preset"
done

echo "== tests with sanitizers"
ctest --preset sanitizers

echo "== tests"
STARMILL_SOAK_SECONDS=${STARMILL_SOAK_SECONDS:-120} ctest --preset default

echo "== fuzzing the BMP reader for ${STARMILL_FUZZ_SECONDS:=60} s"
build fuzzing
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus"/
build-fuzz/bmp_fuzz -max_total_time="$STARMILL_FUZZ_SECONDS" -max_len=4096 -print_final_stats=1 \
  "$corpus" 2> build-fuzz/fuzz.log || { tail -40 build-fuzz/fuzz.log; exit 1; }
grep -E "^stat::number_of_executed_units|^Done" build-fuzz/fuzz.log

echo "== headless tests on other architectures"
scripts/cross-test.sh
