#!/bin/bash
# Installs the game into a temporary prefix and plays the launcher's part
# for two players on SDL's dummy drivers: the per-player layout, shipped and
# own zones found, saves and logs in the player's directory, the shared data
# untouched, an update seen at the next start, and a clear failure when the
# player's directory cannot be made or written. The desktop entry, metainfo
# and manual pages pass the distribution's own validators, the level tools
# run from the install, and under Xvfb the window's class is the desktop
# entry's.
# Usage: InstallTest.sh BUILD_DIR
set -u
build="$1"
tmp="$(mktemp -d)"
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || {
    cat "$tmp/install.log"
    echo "FAIL: cmake --install"
    exit 1
}
shared="$prefix/share/lurvane/Data"

# The layout.
id=org.lurvane.Lurvane
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
for f in games/lurvane lib/lurvane/lurvane games/lurvane-levelc games/lurvane-fmpinfo; do
    [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
for f in share/lurvane/Data/sound.txt share/lurvane/Data/Gfx/title.bmp \
    share/lurvane/Data/Text/credits.txt "${desktop#"$prefix"/}" "${metainfo#"$prefix"/}" \
    share/icons/hicolor/scalable/apps/lurvane.svg share/doc/lurvane/copyright; do
    [ -f "$prefix/$f" ] || fail "$f is missing"
done
for size in 16 24 32 48 64 128 256; do
    [ "$(ls "$prefix/share/icons/hicolor/${size}x${size}/apps")" = lurvane.png ] ||
        fail "the ${size}x${size} folder holds other files"
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/lurvane.png"
    [ "$(head -c 4 "$icon" 2>/dev/null | tail -c 3)" = PNG ] || fail "no ${size}x${size} icon"
    # Width and height, big-endian, in the header chunk.
    [ "$(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null | tr -s ' ')" = \
        " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
        fail "the ${size}x${size} icon has another size"
done
# The scalable icon is the same picture as the painted ones.
svg="$prefix/share/icons/hicolor/scalable/apps/lurvane.svg"
if rsvg-convert -w 256 -h 256 "$svg" -o "$tmp/svg.png" 2>/dev/null; then
    difference="$(compare -metric RMSE "$tmp/svg.png" \
        "$prefix/share/icons/hicolor/256x256/apps/lurvane.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')"
    awk -v d="$difference" 'BEGIN { exit !(d < 0.1) }' ||
        fail "the scalable icon differs from the painted one (RMSE $difference)"
    rm -f "$tmp/svg.png"
else
    fail "the scalable icon does not render (rsvg-convert from tools/deps.sh test)"
fi
grep -qx 'Exec=lurvane' "$desktop" || fail "desktop entry Exec"
grep -qx 'Icon=lurvane' "$desktop" || fail "desktop entry Icon"

# The validators of desktops, software centres and packagers.
validate() {
    local out
    command -v "$1" >/dev/null || {
        fail "$1 is not installed (tools/deps.sh test installs it)"
        return
    }
    out="$("$@" 2>&1)" || fail "$* says: $out"
}
validate desktop-file-validate "$desktop"
validate appstreamcli validate --no-net "$metainfo"
for page in lurvane lurvane-levelc lurvane-fmpinfo; do
    validate mandoc -T lint -W warning "$prefix/share/man/man6/$page.6.gz"
done
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
release="$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)"
[ -n "$version" ] && [ "$release" = "$version" ] ||
    fail "the metainfo's latest release is '$release', the project's version '$version'"
[ "$(sed -n 's/^StartupWMClass=//p' "$desktop")" = "$id" ] || fail "desktop entry StartupWMClass"

# The level tools, as the help page shows them, with a shipped zone's sheet.
grep -q 'lurvane-levelc --sheet Data/Sheets/' "$prefix/share/lurvane/Data/Text/help.txt" &&
    grep -q 'lurvane-fmpinfo ' "$prefix/share/lurvane/Data/Text/help.txt" ||
    fail "the help page does not name the installed level tools"
mkdir -p "$tmp/maker"
printf 'map\n#####\n#B>o#\n#####\n' >"$tmp/maker/my.lvl"
(cd "$prefix/share/lurvane" && "$prefix/games/lurvane-levelc" --sheet Data/Sheets/meadow/blocks.bmp \
    "$tmp/maker/my.lvl" "$tmp/maker/my.fmp") || fail "lurvane-levelc did not compile a level"
[ "$("$prefix/games/lurvane-fmpinfo" "$tmp/maker/my.fmp" | sed -n 's/^mapWidth=//p')" = 5 ] ||
    fail "lurvane-fmpinfo did not read the compiled level"
rm -rf "$tmp/maker"
[ -z "$(find "$prefix" -name settings.dat -o -name highscores.dat)" ] || fail "saves were installed"
shipped=()
for zone in "$shared"/Levels/*/; do
    zone="${zone%/}"
    shipped+=("${zone##*/}")
done
[ ${#shipped[@]} -ge 2 ] || fail "fewer than two shipped zones"
first="${shipped[0]}"

# Runs the launcher for a moment with the given XDG_DATA_HOME, until the
# zones have been read, then asks the game to quit.
play() {
    local own="$1/lurvane"
    rm -f "$own/log.txt"
    (XDG_DATA_HOME="$1" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        exec "$prefix/games/lurvane") >"$tmp/play.out" 2>&1 &
    local pid=$!
    for _ in $(seq 600); do
        [ "$(cat "$own/log.txt" 2>/dev/null | grep -c 'reading Zone')" -ge "$2" ] && break
        sleep 0.05
    done
    sleep 0.2
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    local rc=$?
    [ "$rc" -eq 0 ] || {
        fail "the game ended with $rc"
        cat "$tmp/play.out"
    }
}
found() { grep -q "reading Zone : dirname='$2'" "$1/lurvane/log.txt"; }

snapshot() { (cd "$prefix" && find . -printf '%p %s %T@\n' | sort); }
before="$(snapshot)"

# Player one has a zone of their own and their own copy of a shipped zone.
one="$tmp/one"
mkdir -p "$one/lurvane/Data/Levels"
cp -r "$shared/Levels/$first" "$one/lurvane/Data/Levels/myzone"
cp -r "$shared/Levels/$first" "$one/lurvane/Data/Levels/$first"
echo mine >"$one/lurvane/Data/Levels/$first/marker"
# ...and links of their own: to a zone kept elsewhere, and one leading nowhere.
cp -r "$shared/Levels/$first" "$tmp/elsewhere"
ln -s "$tmp/elsewhere" "$one/lurvane/Data/Levels/linkedzone"
ln -s "$tmp/gone" "$one/lurvane/Data/Levels/${shipped[1]}"
listing="$(ls -l "$one/lurvane/Data/Levels/$first")"
play "$one" $((${#shipped[@]} + 1)) # one shipped zone hidden by a link of the player's
own="$one/lurvane"
[ -d "$own/Data/Levels" ] && [ ! -L "$own/Data/Levels" ] || fail "Levels is not the player's own"
for name in Gfx Text Sound Music sound.txt; do
    [ -L "$own/Data/$name" ] && [ "$(readlink -f "$own/Data/$name")" = "$(readlink -f "$shared/$name")" ] ||
        fail "Data/$name does not link the shared copy"
done
for zone in "${shipped[@]}"; do
    [ "$zone" = "${shipped[1]}" ] || found "$one" "$zone" || fail "shipped zone $zone not found"
    [ "$zone" = "$first" ] || [ "$zone" = "${shipped[1]}" ] && continue
    [ -L "$own/Data/Levels/$zone" ] || fail "shipped zone $zone not linked"
done
found "$one" myzone || fail "the player's own zone was not found"
[ ! -L "$own/Data/Levels/$first" ] && [ "$(cat "$own/Data/Levels/$first/marker")" = mine ] ||
    fail "the player's zone named like a shipped one was replaced"
[ "$listing" = "$(ls -l "$own/Data/Levels/$first")" ] || fail "the player's zone was changed"
found "$one" linkedzone || fail "the player's linked zone was not found"
[ "$(readlink "$own/Data/Levels/linkedzone")" = "$tmp/elsewhere" ] &&
    [ "$(readlink "$own/Data/Levels/${shipped[1]}")" = "$tmp/gone" ] ||
    fail "the player's own links were replaced"
rm "$own/Data/Levels/${shipped[1]}"
[ -s "$own/log.txt" ] || fail "no log in the player's directory"
[ "$before" = "$(snapshot)" ] || fail "the game or launcher changed the installed files"
[ -z "$(find "$tmp" -path "$prefix" -prune -o -path "$tmp/one" -prune -o -path "$tmp/elsewhere" -prune -o -path "$tmp/play.out" -prune \
    -o -path "$tmp/install.log" -prune -o -type f -print)" ] || fail "files written outside the player's directory"
for save in settings.dat highscores.dat; do
    [ ! -e "$own/$save" ] || fail "$save written beside the logs instead of in Data"
done
[ -s "$own/Data/settings.dat" ] || fail "the settings were not saved in the player's Data"

# Player two is separate.
two="$tmp/two"
play "$two" ${#shipped[@]}
[ -s "$two/lurvane/log.txt" ] || fail "no log for the second player"
[ -s "$two/lurvane/Data/settings.dat" ] || fail "no settings of the second player's own"
found "$two" "$first" || fail "the second player does not find the shipped zones"
! found "$two" myzone || fail "the second player sees the first player's zone"
[ -L "$two/lurvane/Data/Levels/$first" ] || fail "the second player has the first's zone copy"
cmp -s "$one/lurvane/Data/Levels/$first/marker" - <<<mine || fail "player one's zone changed"

# An update of the shared data: a new zone appears, a dropped one goes, and
# the player's own things stay.
last="${shipped[${#shipped[@]} - 1]}"
cp -r "$shared/Levels/$first" "$shared/Levels/newzone"
rm -rf "${shared:?}/Levels/$last"
echo "own text" >"$one/lurvane/Data/mine.txt"
play "$one" $((${#shipped[@]} + 2))
found "$one" newzone || fail "a zone added by an update was not found"
[ ! -e "$own/Data/Levels/$last" ] && [ ! -L "$own/Data/Levels/$last" ] ||
    fail "the link to a dropped zone stayed"
[ "$(cat "$own/Data/mine.txt")" = "own text" ] || fail "a file of the player's changed"
found "$one" myzone || fail "the player's zone is gone after the update"

# Installed again elsewhere: the links follow the install that runs.
prefix2="$tmp/prefix2"
cmake --install "$build" --prefix "$prefix2" >"$tmp/install.log" 2>&1 || fail "second install"
prefix="$prefix2"
play "$one" $((${#shipped[@]} + 2))
[ "$(readlink -f "$own/Data/Gfx")" = "$(readlink -f "$prefix2/share/lurvane/Data/Gfx")" ] &&
    [ "$(readlink -f "$own/Data/Levels/$last")" = "$(readlink -f "$prefix2/share/lurvane/Data/Levels/$last")" ] ||
    fail "the links still lead to the old install"
[ ! -e "$own/Data/Levels/newzone" ] || fail "the old install's zone is still linked"
found "$one" myzone || fail "the player's zone is gone after the reinstall"

# Without XDG_DATA_HOME (or with a relative one) the directory is in HOME.
home="$tmp/home"
mkdir -p "$home"
(HOME="$home" XDG_DATA_HOME=relative/path SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    exec "$prefix/games/lurvane") >/dev/null 2>&1 &
game=$!
for _ in $(seq 600); do
    [ -d "$home/.local/share/lurvane/Data/Levels" ] && break
    sleep 0.05
done
kill -TERM "$game" 2>/dev/null
wait "$game"
[ -d "$home/.local/share/lurvane/Data/Levels" ] || fail "no player's directory below HOME"
[ ! -e relative ] || fail "a relative XDG_DATA_HOME was used"

# A player's directory that cannot be made or written: one line, non-zero.
check_refused() {
    local what="$1"
    shift
    local err rc
    err="$(env "$@" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 5 "$prefix/games/lurvane" 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -eq 0 ] || [ "$rc" -eq 124 ]; then
        fail "$what: exit code $rc"
    elif [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ "$err" != lurvane:* ]]; then
        fail "$what: not one clear line: $err"
    fi
}
echo file >"$tmp/plainfile"
check_refused "a file in the way" XDG_DATA_HOME="$tmp/plainfile"
check_refused "an unwritable place" XDG_DATA_HOME=/proc/lurvane
check_refused "no home at all" -u XDG_DATA_HOME -u HOME
if [ "$(id -u)" -ne 0 ]; then
    mkdir -p "$tmp/ro/lurvane/Data/Levels"
    chmod 555 "$tmp/ro/lurvane/Data"
    check_refused "a read-only directory" XDG_DATA_HOME="$tmp/ro"
fi

# On an X display the window's class (both its parts) is the desktop entry's
# StartupWMClass, so that the desktop matches the window to its entry. A first
# Xvfb on a busy machine can take many seconds to come up, so the waits are
# long and each way of failing says which step did not happen.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 1200); do
        [ -s "$tmp/display" ] && break
        sleep 0.05
    done
    if [ ! -s "$tmp/display" ]; then
        fail "Xvfb gave no display within a minute"
    else
        export DISPLAY=":$(cat "$tmp/display")"
        (XDG_DATA_HOME="$tmp/x" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec "$prefix/games/lurvane") \
            >"$tmp/x.log" 2>&1 &
        game=$!
        for _ in $(seq 1200); do
            xdotool search --name '^Lurvane$' >/dev/null 2>&1 && break
            kill -0 "$game" 2>/dev/null || break
            sleep 0.05
        done
        wmclass="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
        if ! xdotool search --name '^Lurvane$' >/dev/null 2>&1; then
            cat "$tmp/x.log"
            fail "the game showed no window on $DISPLAY within a minute"
        elif [ "$(xdotool search --class "^$wmclass\$" 2>/dev/null)" != \
            "$(xdotool search --name '^Lurvane$' 2>/dev/null)" ] ||
            [ -z "$(xdotool search --classname "^$wmclass\$" 2>/dev/null)" ]; then
            fail "the window's class is not the desktop entry's StartupWMClass $wmclass"
        fi
        kill -TERM "$game" 2>/dev/null
        wait "$game"
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
else
    fail "Xvfb and xdotool are not installed (tools/deps.sh test installs them)"
fi
exit $status
