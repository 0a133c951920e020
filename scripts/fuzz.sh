#!/usr/bin/env bash
# Builds the libFuzzer target of the parameter-file loader with clang and runs it for a bounded time
# (seconds as the first argument, default 60) from the committed seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOT11B_FUZZ=ON \
  -DDOT11B_BUILD_BENCH=OFF -DDOT11B_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_parameter_file -j2
mkdir -p build-fuzz/corpus
build-fuzz/bin/fuzz_parameter_file build-fuzz/corpus tests/fuzz/corpus -max_total_time="$seconds" \
  -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -artifact_prefix=build-fuzz/ -print_final_stats=1 2>&1 |
  tail -n 12
