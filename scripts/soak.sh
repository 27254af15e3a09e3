#!/bin/sh
# Builds the server and the plugin and runs the soak runs of tests/soak/soak.py (not part of
# the default suite): 64 clients x 1,000 pipelined requests, 1,000 plugin reloads, and a server
# run with the timer firing.
#   scripts/soak.sh [--minutes M] [pipelining|reloads|timer ...]
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target orvane-server Orvane
ORVANE_SERVER=build/server/orvane-server ORVANE_PLUGIN=build/server/libOrvane.so \
  exec /usr/bin/python3 tests/soak/soak.py "$@"
