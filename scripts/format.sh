#!/bin/sh
# Formats every C++ source of the repository in place.
cd "$(dirname "$0")/.."
git ls-files '*.h' '*.cpp' | xargs clang-format -i
