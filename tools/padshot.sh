#!/bin/bash
# The name entry driven by a pad alone, under a virtual X display: runs
# padshot in the built game's directory and writes OUT (a PNG when
# ImageMagick's convert is there, else the PPM).
#
#   tools/padshot.sh [build dir] [output file]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
OUT=$(realpath -m "${2:-$BUILD/screenshots/name-entry-pad.png}")
DISPLAY_NUMBER=${DISPLAY_NUMBER:-96}
TOOL=$(realpath "$BUILD/tools/padshot")
mkdir -p "$(dirname "$OUT")"
WORK=$(mktemp -d)
Xvfb ":$DISPLAY_NUMBER" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true; rm -rf "$WORK"' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
cp -r "$BUILD/game/Data" "$WORK/Data"
(cd "$WORK" && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$TOOL" "$WORK/shot.ppm")
if command -v convert >/dev/null; then
    convert "$WORK/shot.ppm" "$OUT"
else
    OUT=${OUT%.*}.ppm
    cp "$WORK/shot.ppm" "$OUT"
fi
echo "$OUT"
