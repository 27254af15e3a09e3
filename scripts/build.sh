#!/bin/sh
# Configures and builds into build/ (or build-asan/ with --sanitize). Extra CMake options can be
# given in ORVANE_CMAKE_FLAGS, e.g. ORVANE_CMAKE_FLAGS=-DORVANE_WERROR=ON (as CI does).
set -e
cd "$(dirname "$0")/.."
dir=build
flags=""
if [ "$1" = "--sanitize" ]; then
  dir=build-asan
  flags="-DORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
fi
cmake -S . -B "$dir" -G Ninja $flags ${ORVANE_CMAKE_FLAGS:-} >/dev/null
cmake --build "$dir"
