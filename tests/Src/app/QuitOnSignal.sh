#!/bin/bash
# The game, started for real on SDL's dummy video driver, ends in order on
# SIGTERM and SIGINT just as when its window is closed.
set -u
game="$1"
# With its data the game waits on the title screen for the signal; without
# it the game would end on its own, racing the signal.
data="$(dirname "$game")/Data"
[ -d "$data" ] || { echo "no game data beside $game"; exit 77; }
status=0
for signal in TERM INT; do
    work="$(mktemp -d)"
    cp -r "$data" "$work/"
    (cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$game") &
    pid=$!
    # Wait until the game systems are up, then ask it to quit.
    for _ in $(seq 100); do
        grep -q "adding 'InputManager'" "$work/log.txt" 2>/dev/null && break
        sleep 0.05
    done
    kill -s "$signal" "$pid"
    wait "$pid"
    rc=$?
    if [ "$rc" -ne 0 ]; then
        echo "SIG$signal: exit code $rc"
        status=1
    fi
    if ! grep -q "removing 'HighScoreManager'" "$work/log.txt"; then
        echo "SIG$signal: no orderly shutdown; log.txt:"
        cat "$work/log.txt"
        status=1
    fi
    rm -rf "$work"
done
exit $status
