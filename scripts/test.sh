#!/bin/bash
# The whole test suite: installs what is missing, builds, runs the unit tests,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the tests that need a real X server on a private one.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$jobs"

echo "== build with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTARMILL_SANITIZE=ON > /dev/null
cmake --build build-asan -j "$jobs"

echo "== unit tests"
ctest --test-dir build -L headless --output-on-failure -j "$jobs"

echo "== unit tests with sanitizers"
ctest --test-dir build-asan -L headless --output-on-failure -j "$jobs"
