#!/usr/bin/env bash
# Writes the whole UniDic dictionary (../shared/data/unidic/full.yaml) once as
# an indexed payload, with the project's own writer, into a cache outside the
# repository, for the benchmarks that measure the dictionary methods at full
# size (bench/metrics_full_unidic_bench.cpp, bench/python/dictionary_methods.py).
#   bash scripts/bench-data.sh [OUT]      (default: $HOME/.cache/orvel/unidic-full.indexed)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"

out="${1:-${ORVEL_UNIDIC_FULL:-$HOME/.cache/orvel/unidic-full.indexed}}"
source_yaml="$root/../shared/data/unidic/full.yaml"
if [ -f "$out" ]; then
  echo "$out exists"
  exit 0
fi
bash scripts/install-deps.sh
ensure_build_tools
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEL_BUILD_PYTHON=OFF >/dev/null
cmake --build build/release --target orvel_indexed_payload -j "$jobs"
mkdir -p "$(dirname "$out")"
build/release/tools/orvel_indexed_payload ja "$source_yaml" "$out.tmp"
mv "$out.tmp" "$out"
echo "wrote $out"
