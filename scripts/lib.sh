# Shared helpers for the scripts in this folder; sourced, not run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

# cmake (3.24 or newer) and ninja, and a python3 that can make virtual
# environments and build extensions. Where python3 is the system's own (whose
# pip Debian does not let install into the system), they come from apt.
ensure_build_tools() {
  local apt_packages=()
  if ! python3 -c 'import sysconfig, os, sys; sys.exit(not os.path.exists(os.path.join(sysconfig.get_paths()["include"], "Python.h")))' 2>/dev/null \
      || ! python3 -c 'import ensurepip, venv' 2>/dev/null; then
    apt_packages+=(python3-dev python3-venv)
  fi
  if ! command -v cmake >/dev/null || ! cmake --version | awk 'NR==1{split($3,v,"."); exit !(v[1]>3 || (v[1]==3 && v[2]>=24))}'; then
    python3 -m pip install -q "cmake>=3.24" 2>/dev/null || apt_packages+=(cmake)
  fi
  if ! command -v ninja >/dev/null; then
    python3 -m pip install -q ninja 2>/dev/null || apt_packages+=(ninja-build)
  fi
  if [ ${#apt_packages[@]} -gt 0 ]; then
    bash "$root/scripts/install-deps.sh" "${apt_packages[@]}"
  fi
  hash -r
  # The C++ tests, the wheel of each interpreter and the main job compile the
  # same libraries with the same flags: ccache compiles them once.
  if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_DIR="${CCACHE_DIR:-$root/build/ccache}"
    export CCACHE_BASEDIR="$root"
  fi
}

# The Python interpreters the module is built and tested against: python3
# and, where it is installed, 3.13 (also a pyenv-installed 3.13 that the
# pyenv shims hide because it is not the selected version).
python_interpreters() {
  local seen="" py ver
  local candidates=(python3 python3.13)
  if command -v pyenv >/dev/null 2>&1; then
    candidates+=("$(pyenv root)"/versions/3.13*/bin/python3.13)
  fi
  for py in "${candidates[@]}"; do
    [ -x "$py" ] || command -v "$py" >/dev/null 2>&1 || continue
    ver="$("$py" -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null)" || continue
    case " $seen " in *" $ver "*) continue ;; esac
    seen="$seen $ver"
    echo "$py"
  done
}

# Creates (once) a virtual environment for interpreter $1 and prints its path.
python_venv() {
  local py="$1" ver dir
  ver="$("$py" -c 'import sys; print("%d.%d" % sys.version_info[:2])')"
  dir="$root/build/venv-$ver"
  if [ ! -x "$dir/bin/python" ]; then
    "$py" -m venv "$dir" >&2
  fi
  "$dir/bin/python" -m pip install -q --upgrade pip >&2
  "$dir/bin/python" -m pip install -q -r "$root/requirements-test.txt" >&2
  echo "$dir"
}
