#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format (14, .clang-format) would make of it.
#   tools/check-format.sh         check
#   tools/check-format.sh --fix   format in place
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  exec clang-format -i "${files[@]}"
fi
exec clang-format --dry-run --Werror "${files[@]}"
