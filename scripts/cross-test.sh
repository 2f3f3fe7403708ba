#!/bin/bash
# Cross-builds the headless test suites for Debian's other release
# architectures (arm64, armel, armhf, i386, ppc64el, riscv64 and s390x,
# which is big-endian) with Debian's cross compilers and their default
# flags, and runs them under qemu-user: i386 too, since many x86-64 kernels
# cannot run 32-bit programs.
# The binaries are linked statically, so no libraries of the target need be
# installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
install_packages scripts/packages-cross.txt

status=0
for target in aarch64-linux-gnu:qemu-aarch64 arm-linux-gnueabi:qemu-arm arm-linux-gnueabihf:qemu-arm \
  i686-linux-gnu:qemu-i386 powerpc64le-linux-gnu:qemu-ppc64le riscv64-linux-gnu:qemu-riscv64 \
  s390x-linux-gnu:qemu-s390x; do
  triple=${target%%:*}
  emulator=${target#*:}
  dir=build-cross/$triple
  echo "== headless tests for $triple"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTARMILL_HEADLESS_TESTS=ON \
    -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="${triple%%-*}" \
    -DCMAKE_C_COMPILER="$triple-gcc" -DCMAKE_CXX_COMPILER="$triple-g++" \
    -DCMAKE_EXE_LINKER_FLAGS=-static ${emulator:+-DCMAKE_CROSSCOMPILING_EMULATOR=$emulator} > /dev/null
  cmake --build "$dir"
  ctest --test-dir "$dir" --output-on-failure || status=1
done
exit $status
