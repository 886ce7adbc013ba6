#!/usr/bin/env bash
# Builds one configuration and runs its test suite.
#   scripts/test.sh [release|asan|tsan]      (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
scripts/build.sh "$config"
ctest --test-dir "build/$config" --output-on-failure -j "$(nproc)"
