#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 16, ASan and UBSan) and runs each one
# for a while, one after the other:
#   bash scripts/fuzz.sh [SECONDS per target, default 60] [TARGET...]
# TARGET names (fuzz_yaml_records, ...) choose some targets; all by default.
# First every saved reproducer in fuzz/regressions/<target>/ is run once.
# The corpora grow in build/fuzz/corpus/<target> from run to run (in
# $ORVEL_FUZZ_CORPUS/<target> when that is set, e.g. a directory that
# outlives the build); a crash, a mismatch or a sanitizer report stops with
# the input saved in build/fuzz/artifacts/ and makes the script fail. A
# summary line per target gives its executions and coverage (cov: edges,
# ft: features).
# ORVEL_FUZZ_RUNS stops a target after that many executions (before its
# time is up), ORVEL_FUZZ_NICE (default 0) lowers the fuzzers' priority,
# ORVEL_FUZZ_JOBS sets the build's parallelism.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"
seconds="${1:-60}"
shift || true

bash scripts/install-deps.sh clang-16 libclang-rt-16-dev
ensure_build_tools

build=build/fuzz
CXX=clang++-16 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_BUILD_FUZZ=ON -DORVEL_BUILD_TESTS=OFF -DORVEL_BUILD_BENCH=OFF -DORVEL_BUILD_PYTHON=OFF >/dev/null
cmake --build "$build" -j "${ORVEL_FUZZ_JOBS:-$jobs}" --target orvel_fuzz

rm -rf "$build/seeds"
"$build/fuzz/orvel_fuzz_seeds" "$build/seeds"

# Per target: the largest input, the dictionary and the test data it also
# starts from.
declare -A max_len=(
  [fuzz_fst]=4096 [fuzz_yaml_records]=4096 [fuzz_unidic_binary]=4096 [fuzz_unidic_indexed]=4096
  [fuzz_zh_indexed]=4096 [fuzz_bundle]=6144
  [fuzz_string_distance]=300 [fuzz_string_batch]=320 [fuzz_lattice_distance]=240 [fuzz_path_similarity]=400 [fuzz_lattice_similarity]=300
  [fuzz_ja_front]=96 [fuzz_zh_front]=96 [fuzz_ja_spans]=64 [fuzz_zh_spans]=64
)
declare -A dict=(
  [fuzz_fst]=binary [fuzz_yaml_records]=yaml [fuzz_unidic_binary]=binary [fuzz_unidic_indexed]=binary
  [fuzz_zh_indexed]=binary [fuzz_bundle]=bundle [fuzz_ja_front]=ja_front [fuzz_zh_front]=zh_front [fuzz_ja_spans]=ja_front
  [fuzz_zh_spans]=zh_front
)
declare -A data=(
  [fuzz_fst]="tests/data/fst tests/data/fst/malformed"
  [fuzz_yaml_records]="tests/data/unidic/small.yaml tests/data/cedict/small-tone3.yaml tests/data/cedict/small-no-tone.yaml bundles/ja-unidic-sample/metadata.yaml bundles/zh-cedict-sample/metadata.yaml"
)
mkdir -p "$build/dict"
cat fuzz/dict/yaml.dict fuzz/dict/binary.dict >"$build/dict/bundle.dict"
for d in fuzz/dict/*.dict; do cp "$d" "$build/dict/"; done

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/fuzz/fuzz_*; do [ -x "$t" ] && targets+=("$(basename "$t")"); done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/logs" "$build/artifacts"
failed=()
summary=()
for name in "${targets[@]}"; do
  target="$build/fuzz/$name"
  corpus="${ORVEL_FUZZ_CORPUS:-$build/corpus}/$name"
  mkdir -p "$corpus"
  flags=(-max_len="${max_len[$name]:-4096}" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -print_final_stats=1
         -artifact_prefix="$build/artifacts/$name-")
  [ -n "${dict[$name]:-}" ] && flags+=(-dict="$build/dict/${dict[$name]}.dict")
  [ -n "${ORVEL_FUZZ_RUNS:-}" ] && flags+=(-runs="$ORVEL_FUZZ_RUNS")
  inputs=("$corpus")
  mkdir -p "$build/seeds/$name"
  for d in ${data[$name]:-}; do
    if [ -d "$d" ]; then inputs+=("$d"); else cp "$d" "$build/seeds/$name/"; fi
  done
  inputs+=("$build/seeds/$name")

  if [ -d "fuzz/regressions/$name" ] && [ -n "$(ls -A "fuzz/regressions/$name")" ]; then
    echo "== $name: saved reproducers"
    if ! "$target" "${flags[@]}" fuzz/regressions/"$name"/* >"$build/logs/$name.regressions.log" 2>&1; then
      tail -n 30 "$build/logs/$name.regressions.log"
      failed+=("$name (saved reproducer)")
      continue
    fi
  fi

  echo "== $name for ${seconds}s"
  log="$build/logs/$name.log"
  status=0
  nice -n "${ORVEL_FUZZ_NICE:-0}" "$target" "${flags[@]}" -max_total_time="$seconds" "${inputs[@]}" >"$log" 2>&1 ||
    status=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  cov="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
  summary+=("$(printf '%-24s execs %-12s %s' "$name" "${execs:-?}" "${cov:-}")")
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    failed+=("$name")
  fi
done

echo "== summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]} (inputs in $build/artifacts/, logs in $build/logs/)" >&2
  exit 1
fi
