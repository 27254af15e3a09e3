#!/bin/sh
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -e
cd "$(dirname "$0")/.."
dir=build
flags=""
if [ "$1" = "--sanitize" ]; then
  dir=build-asan
  flags="-DORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
fi
cmake -S . -B "$dir" -G Ninja $flags >/dev/null
cmake --build "$dir"
