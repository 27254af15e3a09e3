#!/bin/sh
# Installs what is needed, builds only what serving needs (orvane-server, the plugin and the
# framework; scripts/test.sh builds the rest) and starts orvane-server on the embedded default
# world. Extra arguments go to the server. With a build at hand, --help answers at once.
set -e
cd "$(dirname "$0")/.."
server=build/server/orvane-server
for arg in "$@"; do
  if [ "$arg" = "--help" ] && [ -x "$server" ]; then exec "$server" --help; fi
done
scripts/install-deps.sh
scripts/build.sh orvane-server
exec "$server" "$@"
