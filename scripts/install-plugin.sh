#!/usr/bin/env bash
# Builds one configuration and installs the plug-ins for the current user:
# MORVANTE.vst3 into ~/.vst3 and MORVANTE.lv2 into ~/.lv2, where Linux VST3
# and LV2 hosts look for them.
#   scripts/install-plugin.sh [release|asan|tsan]      (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
scripts/build.sh "$config"
cmake --install "build/$config" --component vst3
cmake --install "build/$config" --component lv2
cache() { cmake -L -N "build/$config" | sed -n "s/^$1:PATH=//p"; }
echo "installed into $(cache MORVANTE_VST3_INSTALL_DIR)/MORVANTE.vst3 and $(cache MORVANTE_LV2_INSTALL_DIR)/MORVANTE.lv2"
