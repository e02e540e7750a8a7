# Shared helpers for the scripts in this folder; sourced, not run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

# cmake and ninja come from pip where the system has none recent enough.
ensure_build_tools() {
  if ! command -v cmake >/dev/null || ! cmake --version | awk 'NR==1{split($3,v,"."); exit !(v[1]>3 || (v[1]==3 && v[2]>=24))}'; then
    python3 -m pip install -q "cmake>=3.24"
  fi
  command -v ninja >/dev/null || python3 -m pip install -q ninja
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
