#!/bin/sh
# Starts the installed game in the player's own directory,
# $XDG_DATA_HOME/lurvane (by default ~/.local/share/lurvane). Its Data
# directory links the shared pictures, sounds, music, texts and each shipped
# zone, and holds the player's own files: settings, high scores, logs and
# any zone the player adds under Data/Levels. Links are made afresh at every
# start, so an update of the shared data is seen at once; anything that is
# not one of our links belongs to the player and is never replaced.
set -u

fail() {
    echo "lurvane: $*" >&2
    exit 1
}

# The install prefix: this script lives in <prefix>/games.
self=$(readlink -f "$0") || fail "cannot find where the game is installed"
prefix=$(dirname "$(dirname "$self")")
game="$prefix/lib/lurvane/lurvane"
shared="$prefix/share/lurvane/Data"
[ -x "$game" ] || fail "the game program is missing: $game"
[ -d "$shared" ] || fail "the game's data is missing: $shared"

# The base directory must be absolute; a relative one is ignored.
base="${XDG_DATA_HOME:-}"
case "$base" in
/*) ;;
*)
    [ -n "${HOME:-}" ] || fail "neither XDG_DATA_HOME nor HOME is set; cannot place the saves"
    base="$HOME/.local/share"
    ;;
esac
own="$base/lurvane"

mkdir -p "$own/Data/Levels" 2>/dev/null ||
    fail "cannot create the save directory $own/Data/Levels"
# Saves and logs must be writable, with room to spare; a game that cannot
# write them would lose them silently.
for dir in "$own" "$own/Data" "$own/Data/Levels"; do
    probe="$dir/.lurvane-write-test.$$"
    if ! dd if=/dev/zero of="$probe" bs=4096 count=1 2>/dev/null; then
        rm -f "$probe" 2>/dev/null
        fail "cannot write to $dir (read-only or full?)"
    fi
    rm -f "$probe" || fail "cannot write to $dir"
done

# A link of ours points into a shared Data directory of some install.
is_our_link() {
    [ -L "$1" ] || return 1
    case "$(readlink "$1")" in
    */share/lurvane/Data/*) return 0 ;;
    *) return 1 ;;
    esac
}

# Links $1 (shared) at $2 unless something is there already: one of our
# links into this install, or the player's own.
link_shared() {
    [ -e "$2" ] || [ -L "$2" ] || ln -s "$1" "$2" || fail "cannot link $2"
}

# Links of ours that lead nowhere (a zone dropped by an update) or into
# another install go; the install that runs now links afresh below.
for entry in "$own/Data"/* "$own/Data/Levels"/*; do
    is_our_link "$entry" || continue
    case "$(readlink "$entry")" in
    "$shared"/*) [ -e "$entry" ] && continue ;;
    esac
    rm -f "$entry" || fail "cannot remove the stale link $entry"
done

for entry in "$shared"/*; do
    name=$(basename "$entry")
    case "$name" in
    Levels) ;;
    settings.dat | highscores.dat) ;; # never shared: each player's own
    *) link_shared "$entry" "$own/Data/$name" ;;
    esac
done
if [ -d "$shared/Levels" ]; then
    for zone in "$shared/Levels"/*; do
        [ -e "$zone" ] || continue
        link_shared "$zone" "$own/Data/Levels/$(basename "$zone")"
    done
fi

cd "$own" || fail "cannot enter $own"
exec "$game"
