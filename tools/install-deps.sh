#!/usr/bin/env bash
# Installs every Debian 12 package Zodiara needs to build, test and run; with "ci", also what the
# sanitizer and fuzz builds and the format check of .ci/run need (clang, its sanitizer and libFuzzer
# run-times, clang-format).
#   tools/install-deps.sh [ci]
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config python3 tzdata
  libswe-dev swe-basic-data libcctz-dev
  qt6-base-dev qt6-svg-dev libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth poppler-utils locales
  dpkg-dev desktop-file-utils shared-mime-info groff-base
)
if [ "${1:-}" = ci ]; then
  packages+=(clang clang-format libclang-rt-14-dev)
fi
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
