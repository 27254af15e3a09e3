#!/bin/sh
# Configures and builds into build/ (or build-asan/ with --sanitize). Names after the options
# build only those targets (serve.sh builds only orvane-server and what it needs). Extra CMake
# options can be given in ORVANE_CMAKE_FLAGS, e.g. ORVANE_CMAKE_FLAGS=-DORVANE_WERROR=ON (as CI
# does). --serve configures without the tests and benchmarks (their libraries may be missing).
set -e
cd "$(dirname "$0")/.."
dir=build
flags="-DORVANE_BUILD_TESTS=ON -DORVANE_BUILD_BENCH=ON"
if [ "$1" = "--serve" ]; then
  flags="-DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF"
  shift
fi
if [ "$1" = "--sanitize" ]; then
  dir=build-asan
  flags="$flags -DORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
  shift
fi
cmake -S . -B "$dir" -G Ninja $flags ${ORVANE_CMAKE_FLAGS:-} >/dev/null
targets=""
for target in "$@"; do targets="$targets --target $target"; done
cmake --build "$dir" $targets
