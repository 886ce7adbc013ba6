#!/usr/bin/env bash
# Renders one Ardour 7 session headless with MORVANTE as LV2 and again as VST3 (same settings), and the
# session's input through morvante-process, and compares the three 32-bit float renders sample by sample.
#   scripts/ardour-render-check.sh [BUILD_DIR]     (default build/release; needs Debian's ardour 7)
# MORVANTE_ARDOUR_SETTINGS="Title=value;..." changes the settings. The default's values are exact in the
# 32-bit normalised form Ardour hands a VST3 plug-in; others reach the VST3 a float rounding away from
# what the LV2 gets, and the renders then differ by about one float step.
# A private HOME keeps Ardour's configuration, caches and plug-in folders away from the user's.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build/release}" && pwd)"
settings="${MORVANTE_ARDOUR_SETTINGS:-Low Gain=6;Low Threshold=30;Low Mid Gain=-3;Low Mid Threshold=30;Mid Gain=4.5;Mid Threshold=30;High Mid Gain=3;High Mid Threshold=30;High Gain=4.5;High Threshold=30;Output=-1.5}"
work="$(mktemp -d /tmp/ardour-render-check.XXXXXX)"
export HOME="$work/home"
echo "working in $work"

mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.config/ardour7/scripts"
# cp -a keeps the build's file times, so the scanner's cache is clearly newer than the module (with
# fresh copies, a scan in the same second once left Ardour listing no VST3)
cp -a "$build/MORVANTE.vst3" "$HOME/.vst3/"
cp -a "$build/MORVANTE.lv2" "$HOME/.lv2/"
cp "$here/ardour-render-check/test_signal.lua" "$HOME/.config/ardour7/scripts/"
# the headless tools list a VST3 plug-in only from the scanner's cache
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -q -f "$HOME/.vst3/MORVANTE.vst3"

quiet() { grep -v -e '^\[WARNING\]' -e 'direct dispatch' -e 'Butler drops' -e 'Exporting Audio' || true; }
MV_DIR="$work/base" ardour7-lua "$here/ardour-render-check/make_session.lua" 2>&1 | quiet
# Lua cannot set the session range, which ardour7-export renders: write it into the session file
length="$(grep -o 'length="a[0-9]*' "$work/base/mv.ardour" | head -1 | cut -d'"' -f2)"
grep -q '<Locations/>' "$work/base/mv.ardour"
sed -i "s|<Locations/>|<Locations><Location id=\"9000\" name=\"session\" start=\"a0\" end=\"$length\" flags=\"IsSessionRange\" locked=\"0\" timestamp=\"0\" cue=\"0\"/></Locations>|" \
  "$work/base/mv.ardour"

render() {  # name type id
  cp -r "$work/base" "$work/$1"
  if [ -n "$2" ]; then
    MV_DIR="$work/$1" MV_TYPE="$2" MV_ID="$3" MV_PARAMS="$settings" \
      ardour7-lua "$here/ardour-render-check/add_plugin.lua" 2>&1 | quiet
  fi
  # ardour7-export 7.3 now and then aborts mid-render ("double free or corruption"), plug-in or not
  for try in 1 2 3; do
    if ardour7-export -b float -o "$work/$1.wav" "$work/$1" mv 2>&1 | quiet; then return; fi
    echo "ardour7-export failed (try $try)"
  done
  return 1
}
render input "" ""
render lv2 LV2 https://www.penvarrowsonics.com/lv2/morvante
render vst3 VST3 MORVANTE

sets=()
IFS=';' read -ra pairs <<< "$settings"
for p in "${pairs[@]}"; do sets+=(--set "$p"); done
"$build/tools/morvante-process" -q --plugin "$HOME/.vst3/MORVANTE.vst3" --bits 32f --sample-size 32 "${sets[@]}" \
  "$work/input.wav" "$work/tool.wav"

status=0
python3 "$here/ardour-render-check/wav_compare.py" "$work/lv2.wav" "$work/vst3.wav" || status=1
python3 "$here/ardour-render-check/wav_compare.py" "$work/lv2.wav" "$work/tool.wav" || status=1
python3 "$here/ardour-render-check/wav_compare.py" "$work/lv2.wav" "$work/input.wav" >/dev/null \
  && { echo "the LV2 render equals the input: MORVANTE did not process"; status=1; }
exit "$status"
