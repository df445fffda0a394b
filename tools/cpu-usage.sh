#!/bin/bash
# Measures the CPU time per wall-clock time of the built game's process,
# 10 s per phase, from /proc/PID/stat: headless (SDL's dummy driver) and
# under Xvfb with the window at 640x480 and at 1280x960. Under Xvfb the
# phases are the title screen, a level playing and paused (driven with
# xdotool) and the window hidden; headless, the title screen comes from the
# game itself and the level phases from build/bench/lurvane_cpu_probe.
#
#   tools/cpu-usage.sh [build dir]
#
# XVFB_ONLY=1 skips the headless runs; SDL_RENDER_DRIVER picks the renderer
# by name (opengl, software) to compare them.
# Needs Xvfb and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
GAME_DIR=$BUILD/game
DISPLAY_NUMBER=${DISPLAY_NUMBER:-96}
[ -x "$GAME_DIR/lurvane" ] || { echo "no $GAME_DIR/lurvane: build the game first" >&2; exit 1; }
TICKS=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Prints the share of one core that process $1 used over $3 seconds.
measure() {
    local pid=$1 what=$2 seconds=$3 before after start end
    before=$(cpu_ticks "$pid")
    start=$(date +%s.%N)
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    end=$(date +%s.%N)
    awk -v c=$((after - before)) -v t="$TICKS" -v s="$start" -v e="$end" -v w="$what" \
        'BEGIN { printf "%-34s %5.1f%% of one core\n", w, 100 * c / t / (e - s) }'
}

GAME=
XVFB=
cleanup() {
    [ -n "$GAME" ] && kill "$GAME" 2>/dev/null || true
    [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT

headless_run() {
    echo "== headless (SDL_VIDEODRIVER=dummy)"
    (cd "$GAME_DIR" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec ./lurvane) &
    GAME=$!
    sleep 3
    measure "$GAME" "title screen" 10
    kill "$GAME"
    wait "$GAME" 2>/dev/null || true
    GAME=
    if [ -x "$BUILD/bench/lurvane_cpu_probe" ]; then
        "$BUILD/bench/lurvane_cpu_probe" "$GAME_DIR" | grep level
    fi
}
[ -n "${XVFB_ONLY:-}" ] || headless_run

# One run under Xvfb; the screen size decides the window's size (the
# largest whole multiple of 640x480 that fits).
xvfb_run() {
    local screen=$1 label=$2 display=$3
    echo "== Xvfb, window $label${SDL_RENDER_DRIVER:+, SDL_RENDER_DRIVER=$SDL_RENDER_DRIVER}"
    Xvfb ":$display" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    XVFB=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
    (cd "$GAME_DIR" && SDL_AUDIODRIVER=dummy exec ./lurvane) &
    GAME=$!
    local window=
    for _ in $(seq 100); do
        window=$(xdotool search --name '^Lurvane$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "the game window did not open" >&2; exit 1; }
    xdotool windowfocus "$window" 2>/dev/null || true
    key() {
        xdotool keydown --window "$window" "$1"
        sleep 0.1
        xdotool keyup --window "$window" "$1"
    }
    sleep 3 # the window takes its size once it is up
    echo "window size: $(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')"
    measure "$GAME" "title screen" 10
    key Return # "Start"
    sleep 3
    measure "$GAME" "level, playing" 10
    key p
    sleep 1
    measure "$GAME" "level, paused" 10
    xdotool windowunmap "$window"
    sleep 1
    measure "$GAME" "window hidden" 10
    kill "$GAME"
    wait "$GAME" 2>/dev/null || true
    GAME=
    kill "$XVFB"
    wait "$XVFB" 2>/dev/null || true
    XVFB=
}
# A display of its own for each run: the last one may still be closing.
xvfb_run 800x600x24 640x480 "$DISPLAY_NUMBER"
xvfb_run 1920x1080x24 1280x960 $((DISPLAY_NUMBER + 1))
