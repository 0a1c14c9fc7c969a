#!/usr/bin/env bash
# Builds the game (Release) with its art and sounds and starts it at its title
# menu (options given here are handed to the game instead). Installs the Debian
# packages it needs first when any is missing (see scripts/install_deps.sh).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install_deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" --target kivoro kivoro_assets
if [ $# -eq 0 ]; then
    set -- --menu
fi
exec build/release/bin/kivoro "$@"
