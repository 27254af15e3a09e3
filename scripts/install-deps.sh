#!/bin/sh
# Installs the Debian 12 packages that building, running, testing and fuzzing need (clang and
# its sanitizer and libFuzzer runtimes are for scripts/fuzz.sh).
set -e
packages="build-essential cmake ninja-build pkg-config clang-format libspdlog-dev libfmt-dev
  nlohmann-json3-dev libasio-dev libgtest-dev libgmock-dev libbenchmark-dev python3 python3-rcon
  python3-jsonschema clang libclang-rt-dev python3-matplotlib"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
