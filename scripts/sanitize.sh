#!/usr/bin/env bash
# Builds the C++ tests and the _orvel module with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the C++ tests, then the Python tests
# against that module with the sanitizer runtimes preloaded (the interpreter
# itself is not instrumented, so they must be loaded before it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"

bash scripts/install-deps.sh
ensure_build_tools

venv="$(python_venv python3)"

echo "== C++ unit tests under ASan and UBSan"
# The module joins the same build, so the libraries are compiled once for both.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_SANITIZE=ON -DORVEL_BUILD_TESTS=ON -DORVEL_BUILD_PYTHON=ON \
  -DPython_EXECUTABLE="$venv/bin/python"
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== Python tests against the module built with ASan and UBSan"
module_dir="$(dirname "$(find build/asan/src/python -maxdepth 1 -name '_orvel*.so' | head -n 1)")"
runtimes="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libubsan.so)"
# The interpreter's own allocations are not the subject: leak reports at its
# exit are off. Any other report ends the run.
(cd tests/python &&
  LD_PRELOAD="$runtimes" PYTHONPATH="$root/$module_dir" \
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$venv/bin/python" -m pytest -q -p no:cacheprovider)
