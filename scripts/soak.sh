#!/bin/sh
# Builds the server and the plugin in Release (build-soak/: the figures are the optimised
# server's) and runs the soak runs of tests/soak/soak.py (not part of the default suite): 64
# clients x 1,000 pipelined requests, 1,000 plugin reloads, and a server run with the timer
# firing, and churn: 30 addresses that connect and never log in while an administrator logs
# in 200 times.
#   scripts/soak.sh [--minutes M] [pipelining|reloads|timer|churn ...]
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-soak -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF \
  -DORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-soak --target orvane-server Orvane
ORVANE_SERVER=build-soak/server/orvane-server ORVANE_PLUGIN=build-soak/server/libOrvane.so \
  exec /usr/bin/python3 tests/soak/soak.py "$@"
