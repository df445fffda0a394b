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
