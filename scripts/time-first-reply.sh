#!/bin/sh
# Times what a new administrator waits for: a fresh clone of this repository, then
# scripts/serve.sh until the server's first reply, with no compiler cache (as on a new machine).
# Usage: scripts/time-first-reply.sh [SCRATCH_DIR]   (default /tmp/orvane-fresh; replaced)
set -e
repo="$(cd "$(dirname "$0")/.." && pwd)"
fresh="${1:-/tmp/orvane-fresh}"
rm -rf "$fresh"
start=$(date +%s.%N)
git clone -q "$repo" "$fresh"
cd "$fresh"
first=$(env -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 \
  scripts/serve.sh --no-rcon --exec GetOnlineNum 2>/dev/null | head -n 1)
end=$(date +%s.%N)
echo "first reply \"$first\" after $(awk "BEGIN { printf \"%.1f\", $end - $start }") s (fresh clone, no compiler cache)"
