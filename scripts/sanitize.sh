#!/usr/bin/env bash
# Builds the C++ tests with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"

bash scripts/install-deps.sh
ensure_build_tools

echo "== C++ unit tests under ASan and UBSan"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_SANITIZE=ON -DORVEL_BUILD_TESTS=ON -DORVEL_BUILD_PYTHON=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"
