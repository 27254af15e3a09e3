#!/bin/sh
# Installs what is needed, builds, and starts orvane-server on the embedded default world.
# Extra arguments go to the server (see `orvane-server --help`).
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/server/orvane-server "$@"
