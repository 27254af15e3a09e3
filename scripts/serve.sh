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
# Standard output carries the server's replies only, so the build reports on standard error.
scripts/install-deps.sh --serve >&2
scripts/build.sh --serve orvane-server >&2
exec "$server" "$@"
