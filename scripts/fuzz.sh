#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 16 and runs each for a while:
#   bash scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"
seconds="${1:-60}"

bash scripts/install-deps.sh clang-16 libclang-rt-16-dev
ensure_build_tools

CXX=clang++-16 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_BUILD_FUZZ=ON -DORVEL_BUILD_TESTS=OFF -DORVEL_BUILD_PYTHON=OFF
cmake --build build/fuzz -j "$jobs"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  corpus="build/fuzz/corpus/$(basename "$target")"
  mkdir -p "$corpus"
  echo "== $(basename "$target") for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=4096 "$corpus" tests/data/fst
done
