#!/usr/bin/env bash
# Tests as a share of the product code: non-blank lines of the
# tests (tests/, fuzz/, and any *_test.* or test_*.py elsewhere; C++ and Python) against
# non-blank lines of the product (framework/, game/, plugin/, server/; C++). Benchmarks,
# scripts, docs and CMake count as neither. Run from anywhere inside a checkout.
set -eu
cd "$(git rev-parse --show-toplevel)"
count() { xargs -r cat 2>/dev/null | grep -c -v '^[[:space:]]*$' || true; }
files=$(git ls-files)
tests=$(printf '%s\n' "$files" | grep -E '\.(cpp|cc|h|hpp|py)$' \
  | grep -E '^(tests|fuzz)/|_test\.(cpp|cc|py)$|(^|/)test_[^/]*\.py$' | count)
product=$(printf '%s\n' "$files" | grep -E '^(framework|game|plugin|server)/.*\.(cpp|cc|h|hpp)$' \
  | grep -v -E '_test\.(cpp|cc)$' | count)
share=$(( product > 0 ? 100 * tests / product : 0 ))
echo "tests: ${tests} lines, ${share}% of the product's ${product} lines (aim: a quarter to a third)"
