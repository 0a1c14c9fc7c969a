#!/usr/bin/env bash
# The layers, as the includes show them:
# - only engine/ (and the tools or benchmarks that measure SDL itself) includes
#   an SDL header;
# - the headless folders (the rules, the art reader, replays, the network, the
#   computer player) include nothing of the engine's window, screen, input or
#   sound, nor the program's platform objects or anything above them, so they
#   run without a display and stay deterministic;
# - no two folders include each other, directly or round a longer loop, and
#   no header includes itself round a loop.
set -euo pipefail
root=${1:-.}
cd "$root"
failed=0

sources=(rules art replay settings platform app modes net online program ai sprites engine)
present=()
for dir in "${sources[@]}"; do
    [ -d "$dir" ] && present+=("$dir")
done

hits=$(grep -rnE '#\s*include\s*[<"]SDL' "${present[@]/engine/}" 2>/dev/null | grep -v '^engine/' || true)
if [ -n "$hits" ]; then
    echo "SDL included outside the engine:"
    echo "$hits"
    failed=1
fi

headless=(rules art replay net ai)
platform='#\s*include\s*"(engine/(display|input|sound)|platform|app|modes|online|program)/'
for dir in "${headless[@]}"; do
    [ -d "$dir" ] || continue
    hits=$(grep -rnE "$platform" "$dir" || true)
    if [ -n "$hits" ]; then
        echo "$dir/ is headless but includes a platform or application header:"
        echo "$hits"
        failed=1
    fi
done

# Folder and file include graphs, each checked for loops with tsort.
folder_edges=$(mktemp)
file_edges=$(mktemp)
trap 'rm -f "$folder_edges" "$file_edges"' EXIT
while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#\s*include\s*"([^"]+)".*/\1/' <<<"${line#*:}")
    from=${file%%/*}
    to=${target%%/*}
    # A folder's sub-folders (engine/display) count as the folder.
    [ "$from" != "$to" ] && echo "$from $to" >>"$folder_edges"
    if [ "$file" != "$target" ] && [[ "$file" == *.h ]]; then
        echo "$file $target" >>"$file_edges"
    fi
done < <(grep -rnoE '#\s*include\s*"[a-z_]+/[^"]+"' "${present[@]}" --include='*.h' --include='*.cpp' |
         sed -E 's/:[0-9]+:/:/')
for graph in "$folder_edges" "$file_edges"; do
    loops=$(tsort "$graph" 2>&1 >/dev/null | grep -v 'input contains a loop' | sed 's/^tsort: //' |
            sort -u || true)
    if [ -n "$loops" ]; then
        echo "Includes go round a loop through:"
        echo "$loops" | sed 's/^/  /'
        failed=1
    fi
done

[ "$failed" -eq 0 ] && echo "layering ok"
exit "$failed"
