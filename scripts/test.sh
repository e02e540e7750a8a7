#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test:
# the C++ unit tests (ctest) and the Python tests against the module that
# `pip install .` builds, for each Python interpreter found.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"

bash scripts/install-deps.sh
ensure_build_tools

echo "== C++ build and unit tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEL_WERROR=ON \
  -DORVEL_BUILD_TESTS=ON -DORVEL_BUILD_BENCH=ON -DORVEL_BUILD_PYTHON=OFF
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

if [ -f src/python/CMakeLists.txt ]; then
  for py in $(python_interpreters); do
    venv="$(python_venv "$py")"
    echo "== Python tests with $("$venv/bin/python" --version)"
    "$venv/bin/python" -m pip install -q -C cmake.define.ORVEL_WERROR=ON "$root"
    (cd tests/python && "$venv/bin/python" -m pytest -q)
    # The installed type stubs against the module itself.
    (cd tests/python && MYPY_CACHE_DIR="$root/build/mypy-cache" "$venv/bin/python" -m mypy.stubtest _orvel)
  done
fi
