#!/usr/bin/env bash
# The main job: on a fresh Debian 12 machine (as root, or with sudo) installs
# the system packages, builds and installs the module into a virtual
# environment with `pip install .`, and runs the sound-alike example over the
# two sample bundles shipped in bundles/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"

# Beyond the build's own packages: the interpreter with its headers and venv
# module, and the build tools, so that nothing has to come from the system
# pip (which Debian 12 does not let install into the system).
bash scripts/install-deps.sh python3 python3-dev python3-venv cmake ninja-build
ensure_build_tools

venv="$(python_venv python3)"
echo "== Building and installing the module into $venv"
"$venv/bin/python" -m pip install -q "$root"

echo "== examples/sound_alike.py"
# Run from outside the source tree so that the installed module is the one
# imported.
(cd /tmp && "$venv/bin/python" "$root/examples/sound_alike.py" --bundles "$root/bundles")
