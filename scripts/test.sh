#!/bin/sh
# Installs what is needed, builds and runs every test (add --sanitize for the ASan/UBSan build).
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
dir=build
[ "$1" = "--sanitize" ] && dir=build-asan
ctest --test-dir "$dir" --output-on-failure -j2
