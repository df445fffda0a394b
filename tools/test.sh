#!/bin/bash
# Installs what is missing, builds everything and runs every test: once in
# the normal build and once with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh test
jobs="$(nproc)"

cmake -S . -B build
cmake --build build -j"$jobs"
(cd build && ctest -j"$jobs" --output-on-failure)

cmake -S . -B build-asan -DLURVANE_SANITIZE=ON -DLURVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest -j"$jobs" --output-on-failure -E clang_format)

# Brief fuzzing of every parser of untrusted files, over the seed corpus the
# tests of the normal build wrote.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLURVANE_FUZZ=ON -DLURVANE_GAME=OFF \
    -DLURVANE_TESTS=OFF -DLURVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j"$jobs"
fuzz_seconds="${LURVANE_FUZZ_SECONDS:-10}"
for harness in build-fuzz/fuzz/fuzz_*; do
    name="${harness##*/fuzz_}"
    corpus="$PWD/build/fuzz-corpus/$name" # harnesses may change directory
    mkdir -p "$corpus"
    echo "Fuzzing $name for ${fuzz_seconds}s"
    "$harness" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
        "$corpus" >"build-fuzz/$name.log" 2>&1 || { tail -50 "build-fuzz/$name.log"; exit 1; }
done
