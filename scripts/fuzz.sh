#!/usr/bin/env bash
# Builds the fuzz configuration and runs every fuzzer in build/fuzz/fuzz/ for
# a bounded time on a copy of its seed corpus (fuzz/corpus/<name>/). Fails if
# any fuzzer finds a crash, a leak or a timeout; the reproducer is kept in
# build/fuzz/runs/<name>/artifacts/.
#   scripts/fuzz.sh [seconds per fuzzer]      (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || (( seconds < 1 )); then
  echo "usage: scripts/fuzz.sh [seconds per fuzzer]" >&2
  exit 2
fi

scripts/build.sh fuzz

status=0
count=0
for fuzzer in build/fuzz/fuzz/*; do
  [[ -f "$fuzzer" && -x "$fuzzer" ]] || continue
  name="$(basename "$fuzzer")"
  run="build/fuzz/runs/$name"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/artifacts"
  # The committed seeds stay untouched: the fuzzer grows its copy.
  if [[ -d "fuzz/corpus/$name" ]]; then
    cp -R "fuzz/corpus/$name/." "$run/corpus/"
  fi
  count=$((count + 1))
  echo "== $name (${seconds} s)"
  if "$fuzzer" -max_total_time="$seconds" -timeout=25 -artifact_prefix="$run/artifacts/" \
       -print_final_stats=1 "$run/corpus" >"$run/log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$run/log" || true
  else
    echo "!! $name failed; log: $run/log" >&2
    tail -n 40 "$run/log" >&2
    ls "$run/artifacts" >&2 || true
    status=1
  fi
done

if (( count == 0 )); then
  echo "no fuzzers found in build/fuzz/fuzz/" >&2
  exit 1
fi
exit "$status"
