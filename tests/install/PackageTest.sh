#!/bin/bash
# Builds the Debian package and checks its file list, its declared
# dependencies (every library the program links must come from a declared
# package) and that the launcher works from the unpacked tree. Skipped
# (exit 77) when dpkg-deb is not installed.
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
for f in ./usr/bin/lurvane ./usr/lib/lurvane/lurvane ./usr/share/lurvane/Data/sound.txt \
    ./usr/share/lurvane/Data/Gfx/title.bmp ./usr/share/applications/lurvane.desktop \
    ./usr/share/icons/hicolor/48x48/apps/lurvane.png ./usr/share/icons/hicolor/256x256/apps/lurvane.png; do
    grep -qx -- "$f" <<<"$files" || fail "$f is not in the package"
done
grep -q 'settings.dat\|highscores.dat\|log.txt' <<<"$files" && fail "the package ships saves or logs"
grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$' && fail "the package puts files outside /usr"

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

# The unpacked tree runs like an installed one.
(XDG_DATA_HOME="$tmp/player" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    exec "$root/usr/bin/lurvane") >/dev/null 2>&1 &
pid=$!
for _ in $(seq 600); do
    grep -q "reading Zone" "$tmp/player/lurvane/log.txt" 2>/dev/null && break
    sleep 0.05
done
grep -q "reading Zone" "$tmp/player/lurvane/log.txt" 2>/dev/null ||
    fail "the unpacked launcher did not start the game with its zones"
kill -TERM "$pid" 2>/dev/null
wait "$pid" || fail "the game from the package ended with $?"
exit $status
