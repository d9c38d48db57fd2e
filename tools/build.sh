#!/usr/bin/env bash
# Installs what Zodiara needs, builds it into build/, then runs it or its tests.
#   tools/build.sh run    build and start Zodiara
#   tools/build.sh test   build and run every test
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-test}
shift || true

bash tools/install-deps.sh
# CI sets ZODIARA_WERROR=ON.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZODIARA_WERROR="${ZODIARA_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"

case "$mode" in
  run)
    if [ -x build/bin/zodiara ]; then
      exec build/bin/zodiara "$@"
    fi
    exec build/bin/zodiara-chart compute "$@"
    ;;
  test)
    exec ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: tools/build.sh run|test" >&2
    exit 2
    ;;
esac
