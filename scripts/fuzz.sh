#!/bin/sh
# Builds the fuzzers (clang with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer;
# see fuzz/CMakeLists.txt) into build-fuzz/ and runs each on its seed corpus for a bounded time.
# Every fuzzer runs; a crash, a sanitizer report or a broken invariant in any of them fails the
# script at the end, and the input that did it is kept in build-fuzz/crashes/. (The seed corpora
# also replay in the default test suite, built with GCC: the tests *_corpus_test.)
#   scripts/fuzz.sh [SECONDS]   seconds per fuzzer; default 20 (about a minute and a half in all)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=build-fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target rcon_session_fuzz world_file_fuzz request_lines_fuzz http_request_fuzz \
  fuzz_seeds
rm -rf "$build/seeds"
"$build/fuzz_seeds" "$build/seeds"
/usr/bin/python3 fuzz/test_worlds.py . "$build/seeds/world_file"
cp -r fuzz/http_request_seeds "$build/seeds/http_request"
mkdir -p "$build/crashes"
# World files: the keys as a dictionary, and inputs of at most 8 KiB (the default world seed is
# far larger, and every mutation of it costs a parse of the whole).
failed=""
for run in "rcon_session" "world_file -dict=fuzz/world_file.dict -max_len=8192" "request_lines" \
  "http_request"; do
  set -- $run
  target=$1
  shift
  mkdir -p "$build/corpus/$target"
  echo "fuzzing $target for $seconds s"
  "$build/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 "$@" \
    -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" "$build/seeds/$target" ||
    failed="$failed $target"
done
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed (inputs in $build/crashes/)" >&2
  exit 1
fi
