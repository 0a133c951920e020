#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Instructions per output sample of each case of bench_compose, counted by callgrind (one iteration each,
# set-up included): bench/compose_instructions.sh [BUILD_DIR]
set -eu
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for case in generateWantedFrames composeAdjacentChannelTest; do
  valgrind --tool=callgrind --callgrind-out-file="$work/$case.out" "$build/bin/bench_compose" \
    --benchmark_filter="^$case\$" --benchmark_min_time=0 --benchmark_format=json >"$work/$case.json" 2>/dev/null
  python3 - "$work/$case.out" "$work/$case.json" "$case" <<'PY'
import json, re, sys
out, report, name = sys.argv[1:]
instructions = int(re.search(r"^summary: (\d+)", open(out).read(), re.M).group(1))
samples = json.load(open(report))["benchmarks"][0]["samples"]
print(f"{name}: {instructions / samples:.0f} instructions per sample ({samples:.0f} samples)")
PY
done
