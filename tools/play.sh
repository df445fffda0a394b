#!/bin/bash
# Installs what is missing, builds the game and starts it in build/game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh game
cmake -S . -B build -DLURVANE_TESTS=OFF -DLURVANE_BENCH=OFF
cmake --build build -j"$(nproc)"
cd build/game
exec ./lurvane
