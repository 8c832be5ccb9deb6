#!/usr/bin/env bash
# Installs the Debian packages that building and testing LEXORA need, when any is missing.
# As root it runs apt-get itself; otherwise it prints the command to run and fails.
set -euo pipefail

packages=(
    g++ cmake make pkg-config libgtest-dev googletest
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine wine64 fonts-wine xvfb xauth xdotool imagemagick
    opencc libopencc-dev
    unifont
    ca-certificates xxd
    sqlite3 libsqlite3-dev
    libuchardet-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Node.js may come from elsewhere than Debian; only its npm command matters (it fetches the dictionary data).
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

command="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Run as root: apt-get update && $command" >&2
    exit 1
fi
echo "Installing: ${missing[*]}" >&2
apt-get update >&2
DEBIAN_FRONTEND=noninteractive $command >&2
