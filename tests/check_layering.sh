#!/usr/bin/env bash
# Fails when a game, sprites, net or online source includes an SDL header: only engine/
# (and the tools or benchmarks that measure SDL itself) may.
set -euo pipefail
root=${1:-.}
hits=$(grep -rnE '#\s*include\s*[<"]SDL' "$root/game" "$root/sprites" "$root/net" "$root/online" 2>/dev/null || true)
if [ -n "$hits" ]; then
    echo "SDL included outside the engine:"
    echo "$hits"
    exit 1
fi
echo "layering ok"
