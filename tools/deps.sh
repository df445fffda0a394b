#!/bin/bash
# Installs the Debian packages the game and its tests need, when missing.
# Usage: tools/deps.sh [game|test]
set -euo pipefail

packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev
          libjpeg62-turbo-dev zlib1g-dev fonts-liberation)
if [ "${1:-game}" = test ]; then
    # The validators of the desktop entry, metainfo, manual pages and the
    # package, an SVG renderer for the scalable icon, and a virtual X display
    # for the window's class.
    packages+=(libgtest-dev googletest libbenchmark-dev clang clang-format libclang-rt-14-dev
               imagemagick appstream desktop-file-utils lintian mandoc librsvg2-bin xvfb
               xdotool)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
