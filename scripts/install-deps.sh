#!/usr/bin/env bash
# Installs every system package the build, the tests and the benchmarks need
# on Debian 12 (the fuzz targets add their compiler: scripts/fuzz.sh). Safe to
# run again: it only installs what is missing. Extra packages may be named as
# arguments.
set -euo pipefail

packages=(
  g++ make pkg-config git ccache
  libyaml-dev libssl-dev libicu-dev libfmt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
