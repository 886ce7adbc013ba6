#!/usr/bin/env bash
# Builds one configuration and installs MORVANTE.vst3 for the current user,
# into ~/.vst3, where Linux VST3 hosts look for plug-ins, and its factory
# presets into ~/.vst3/presets/Penvarrowsonics/MORVANTE.
#   scripts/install-plugin.sh [release|asan|tsan]      (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
scripts/build.sh "$config"
cmake --install "build/$config" --component vst3
dir="$(cmake -L -N "build/$config" | sed -n 's/^MORVANTE_VST3_INSTALL_DIR:PATH=//p')"
echo "installed into $dir/MORVANTE.vst3, with the factory presets in $dir/presets/Penvarrowsonics/MORVANTE"
