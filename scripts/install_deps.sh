#!/usr/bin/env bash
# Installs the Debian packages Kivoro needs to build, test and play, when any
# is missing: one apt-get update, then one apt-get install. Does nothing at all
# when everything is present. Runs apt directly as root, otherwise through sudo.
set -euo pipefail

packages=(
    g++ cmake make pkg-config git clang-format
    libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
    libinih-dev libcli11-dev
    libcairo2-dev libenet-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    libx11-dev xvfb xdotool imagemagick x11-utils
    iproute2
    desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    if [ "$status" != "install ok installed" ]; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "Missing packages (${missing[*]}) and no sudo to install them; please install them as root." >&2
    exit 1
fi
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
