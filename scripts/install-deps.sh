#!/usr/bin/env bash
# Installs every system package the build, the tests, the benchmarks and the
# fuzz targets need on Debian 12. Safe to run again: it only installs what is
# missing.
set -euo pipefail

packages=(
  g++ make pkg-config git
  libyaml-dev libssl-dev libicu-dev libfmt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
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
