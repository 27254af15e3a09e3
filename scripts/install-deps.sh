#!/bin/sh
# Installs the Debian 12 packages that building, running, testing and fuzzing need (clang and
# its sanitizer and libFuzzer runtimes are for scripts/fuzz.sh; chromium, its driver and selenium
# for the web console's browser test). With --serve, only what
# building and running orvane-server needs, so that a new machine reaches its first reply sooner.
set -e
serve="build-essential cmake ninja-build pkg-config libspdlog-dev libfmt-dev nlohmann-json3-dev libsodium-dev
  libasio-dev libcpp-httplib-dev"
rest="clang-format libgtest-dev libgmock-dev libbenchmark-dev python3 python3-rcon
  python3-jsonschema clang libclang-rt-dev python3-matplotlib chromium chromium-driver
  python3-selenium"
packages="$serve $rest"
lean=""
if [ "$1" = "--serve" ]; then packages="$serve"; lean="--no-install-recommends"; fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $lean $missing
