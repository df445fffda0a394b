#!/bin/bash
# Builds the Debian package and checks its file list, its declared
# dependencies (every library the program links must come from a declared
# package), that lintian finds nothing to warn about (when it is installed),
# that the launcher works from the unpacked tree and, run as root, that the
# package installs and removes cleanly with dpkg in a scratch root, leaving
# the player's saves. Skipped (exit 77) when dpkg-deb is not installed.
# Usage: PackageTest.sh BUILD_DIR
set -u
build="$1"
command -v dpkg-deb >/dev/null || {
    echo "dpkg-deb is not installed"
    exit 77
}
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out") >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log"
    echo "FAIL: cpack"
    exit 1
}
deb="$(find "$tmp/out" -maxdepth 1 -name 'lurvane_*.deb' | head -1)"
[ -n "$deb" ] || {
    echo "FAIL: no lurvane_*.deb made"
    exit 1
}

[ "$(dpkg-deb -f "$deb" Package)" = lurvane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
depends="$(dpkg-deb -f "$deb" Depends)"
for p in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-mixer-2.0-0 libjpeg62-turbo fonts-liberation; do
    [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || fail "$p not declared in: $depends"
done

files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in ./usr/games/lurvane ./usr/lib/lurvane/lurvane ./usr/share/lurvane/Data/sound.txt \
    ./usr/share/lurvane/Data/Gfx/title.bmp ./usr/share/applications/org.lurvane.Lurvane.desktop \
    ./usr/share/metainfo/org.lurvane.Lurvane.metainfo.xml ./usr/games/lurvane-levelc \
    ./usr/games/lurvane-fmpinfo ./usr/share/lurvane/Data/Sheets/meadow/blocks.bmp \
    ./usr/share/man/man6/lurvane.6.gz ./usr/share/man/man6/lurvane-levelc.6.gz \
    ./usr/share/man/man6/lurvane-fmpinfo.6.gz ./usr/share/doc/lurvane/copyright \
    ./usr/share/doc/lurvane/changelog.gz ./usr/share/icons/hicolor/scalable/apps/lurvane.svg \
    ./usr/share/icons/hicolor/48x48/apps/lurvane.png ./usr/share/icons/hicolor/256x256/apps/lurvane.png; do
    grep -qx -- "$f" <<<"$files" || fail "$f is not in the package"
done
grep -q 'settings.dat\|highscores.dat\|log.txt' <<<"$files" && fail "the package ships saves or logs"
grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$' && fail "the package puts files outside /usr"

if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || {
        cat "$tmp/lintian.log"
        fail "lintian"
    }
fi

# Each library the program needs comes from a declared package.
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
game="$root/usr/lib/lurvane/lurvane"
arch="$(dpkg --print-architecture 2>/dev/null)"
if command -v dpkg >/dev/null && command -v readelf >/dev/null; then
    for so in $(readelf -d "$game" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
        case "$so" in
        libasan.* | libubsan.*) continue ;; # a sanitizer build, never shipped
        esac
        owner="$(dpkg -S "*/$so" 2>/dev/null | grep -m1 "^[^:]*:$arch: .*/$so\$" | cut -d: -f1)"
        [ -n "$owner" ] || continue # not from a package here: nothing to check against
        [[ ", $depends," == *", $owner"[\ ,]* ]] || fail "$so comes from $owner, which is not declared"
    done
fi

# Runs the launcher $1 for a player whose data home is $2 until the game has
# read its zones, then asks it to quit; $3 names the install in failures.
play() {
    (XDG_DATA_HOME="$2" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$1") >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 600); do
        grep -q "reading Zone" "$2/lurvane/log.txt" 2>/dev/null && break
        sleep 0.05
    done
    grep -q "reading Zone" "$2/lurvane/log.txt" 2>/dev/null ||
        fail "the $3 launcher did not start the game with its zones"
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" || fail "the $3 game ended with $?"
}

# The unpacked tree runs like an installed one.
play "$root/usr/games/lurvane" "$tmp/player" unpacked

# Installed and removed with dpkg, in a root of its own: the game starts for
# a player, and the removal leaves no file of the package but the player's.
if [ "$(id -u)" -eq 0 ] && command -v dpkg >/dev/null; then
    sys="$tmp/sys"
    mkdir -p "$sys/var/lib/dpkg/info" "$sys/var/lib/dpkg/updates"
    touch "$sys/var/lib/dpkg/status" "$sys/var/lib/dpkg/available"
    dpkg --root="$sys" --force-depends --force-script-chrootless -i "$deb" >"$tmp/dpkg.log" 2>&1 ||
        fail "dpkg -i: $(cat "$tmp/dpkg.log")"
    player="$tmp/sysplayer"
    play "$sys/usr/games/lurvane" "$player" "dpkg-installed"
    [ -s "$player/lurvane/Data/settings.dat" ] || fail "the installed game kept no settings"
    dpkg --root="$sys" --force-script-chrootless -r lurvane >"$tmp/dpkg.log" 2>&1 ||
        fail "dpkg -r: $(cat "$tmp/dpkg.log")"
    left="$(find "$sys" -path "$sys/var/lib/dpkg" -prune -o ! -type d -print)"
    [ -z "$left" ] || fail "files left after dpkg -r: $left"
    [ -s "$player/lurvane/Data/settings.dat" ] && [ -s "$player/lurvane/log.txt" ] ||
        fail "the player's saves went with the package"
fi
exit $status
