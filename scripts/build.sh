#!/usr/bin/env bash
# Configures and builds one configuration into build/<config>.
#   scripts/build.sh [release|asan|tsan|fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
jobs="$(nproc)"
common=(-G Ninja -DMORVANTE_WERROR=ON)
case "$config" in
  release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)    flags=(-DCMAKE_BUILD_TYPE=Debug -DMORVANTE_SANITIZE=ON -DMORVANTE_BENCH=OFF) ;;
  tsan)    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANTE_TSAN=ON -DMORVANTE_BENCH=OFF) ;;
  fuzz)    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANTE_FUZZ=ON -DMORVANTE_BENCH=OFF -DMORVANTE_TESTS=OFF
                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown configuration '$config' (release, asan, tsan or fuzz)" >&2; exit 2 ;;
esac

cmake -S . -B "build/$config" "${common[@]}" "${flags[@]}"
cmake --build "build/$config" -j "$jobs"
