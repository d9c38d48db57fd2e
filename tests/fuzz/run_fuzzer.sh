#!/usr/bin/env bash
# Runs a libFuzzer target on a scratch copy of its corpus, so that the tree is left as it was, and prints
# its closing counts; the whole log goes to ARTIFACT_PREFIX.log, where a crashing input also lands.
#   run_fuzzer.sh FUZZER CORPUS SECONDS ARTIFACT_PREFIX [LIBFUZZER OPTION...]
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3 artifacts=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$corpus/." "$work/"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" "$@" "$work" \
  >"${artifacts}log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "${artifacts}log"
  exit "$status"
fi
grep -E '^(Done|stat::)' "${artifacts}log"
echo "corpus: $(find "$work" -type f | wc -l) inputs (from $(find "$corpus" -type f | wc -l))"
