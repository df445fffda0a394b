#!/bin/bash
# The layering check passes on the tree and fails on a copy of it where a
# lower folder includes a header from a folder above it, or names a header
# without its folder.
set -euo pipefail
src="$1"
check="$src/tools/check-layers.py"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
plant() { # folder file line
    rm -rf "$work/tree"
    mkdir -p "$work/tree"
    (cd "$src" && cp -r lib sound gfx map widgets Src "$work/tree/")
    echo "$3" >>"$work/tree/$1/$2"
    if python3 "$check" "$work/tree" >"$work/out"; then
        echo "not caught: $3 in $1/$2"
        exit 1
    fi
    grep -q "$1/$2" "$work/out" || { echo "the report does not name $1/$2"; cat "$work/out"; exit 1; }
}
python3 "$check" "$src"
plant lib String.cpp '#include "gfx/GfxSurface.h"'
plant Src/core Application.cpp '#include "Src/game/Snake.h"'
plant Src/frontend ZoneSelection.cpp '#include "Src/frontend/../game/GameManager.h"'
plant Src/records Settings.cpp '#include "Src/frontend/TitleScreen.h"'
plant Src/frontend OptionsMenu.cpp '#include "Src/app/RunLoop.h"'
plant map TileMap.cpp '#include "widgets/TextBox.h"'
plant Src/game Snake.cpp '#include "TileMap.h"'
echo "every planted include was caught"
