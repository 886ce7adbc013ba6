#!/usr/bin/env bash
# The processing module as the linker left it: lv2_descriptor is its only
# export, and it needs no X11 library (hosts may load it where no display
# exists, and keep their user interfaces in other processes).
#   check_dsp_module.sh MORVANTE_dsp.so
set -euo pipefail
module="$1"
exports="$(nm -D --defined-only "$module" | awk '{print $3}' | sort)"
if [ "$exports" != "lv2_descriptor" ]; then
  echo "exports other than lv2_descriptor: $(echo $exports)"; exit 1
fi
needed="$(readelf -d "$module" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
if echo "$needed" | grep -q '^libX'; then
  echo "links X11 libraries: $(echo $needed)"; exit 1
fi
echo "exports: $exports; needs: $(echo $needed)"
