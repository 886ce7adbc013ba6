#!/usr/bin/env bash
# Builds one configuration and runs its test suite.
#   scripts/test.sh [release|asan|tsan]      (default: release)
# The tsan configuration runs the threading tests (CTest label "tsan"), the
# stress host included; every configuration prints the stress summaries.
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
scripts/build.sh "$config"
selection=()
if [[ "$config" == tsan ]]; then selection=(-L tsan); fi
ctest --test-dir "build/$config" --output-on-failure -j "$(nproc)" "${selection[@]}"
# The stress host's summaries, which CTest keeps only in its log.
grep -h '^stress summary' "build/$config/Testing/Temporary/LastTest.log" || true
