#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds libFuzzer targets with clang and runs each for a bounded time from its committed seed corpus.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# SECONDS defaults to 60; TARGET is parameter_file, scpi_message, call_literal, capture_file or option_list
# (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(parameter_file scpi_message call_literal capture_file option_list)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOT11B_FUZZ=ON \
  -DDOT11B_BUILD_BENCH=OFF -DDOT11B_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}" -j2
for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds} s"
  mkdir -p "build-fuzz/corpus/$target"
  build-fuzz/bin/fuzz_"$target" "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -artifact_prefix="build-fuzz/$target-" -print_final_stats=1 2>&1 |
    tail -n 12
done
