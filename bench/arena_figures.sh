#!/usr/bin/env bash
# How good the computer player is, in numbers: kivoro_arena matches of three
# minutes (10,800 frames) each, one seed per match, the sides swapped in every
# other match. Prints a table of kills for each pairing next to the figure
# it should reach, and exits 1 when one is missed.
#
#   bench/arena_figures.sh [ARENA] [MATCHES]
#
# ARENA is the kivoro_arena program (default: build/dev/bin/kivoro_arena, or
# kivoro_arena on the PATH); it needs the generated art beside it. MATCHES is
# the number of matches per pairing (default 10). Two matches run at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
arena=${1:-build/dev/bin/kivoro_arena}
matches=${2:-10}
frames=10800
minutes=$((frames / 3600))
if [ ! -x "$arena" ]; then
    arena=$(command -v kivoro_arena || true)
fi
if [ -z "$arena" ] || [ ! -x "$arena" ]; then
    echo "arena_figures: no kivoro_arena program (build it, or pass its path)" >&2
    exit 2
fi

# One match: "KILLS_A KILLS_B SELF_A" for players A and B, A first on odd
# seeds and second on even ones.
match() {
    local a=$1 b=$2 seed=$3 out
    if [ $((seed % 2)) -eq 1 ]; then
        out=$("$arena" --stats --frames "$frames" --seed "$seed" "$a" "$b")
        awk '/^kills:/ {k1 = $2; k2 = $3} /^self-inflicted:/ {s1 = $2}
             END {print k1, k2, s1}' <<<"$out"
    else
        out=$("$arena" --stats --frames "$frames" --seed "$seed" "$b" "$a")
        awk '/^kills:/ {k1 = $2; k2 = $3} /^self-inflicted:/ {s2 = $3}
             END {print k2, k1, s2}' <<<"$out"
    fi
}
export -f match
export arena frames

# Sums of "KILLS_A KILLS_B SELF_A" over the pairing's matches.
pairing() {
    seq 1 "$matches" | xargs -P 2 -I{} bash -c 'match "$0" "$1" {}' "$1" "$2" |
        awk '{a += $1; b += $2; s += $3} END {print a + 0, b + 0, s + 0}'
}

failed=0
printf '%-24s %7s %7s %7s %12s %9s  %s\n' pairing matches "kills A" "kills B" figure target ok
row() {
    local name=$1 a=$2 b=$3 s=$4 figure=$5 target=$6 good=$7
    printf '%-24s %7s %7s %7s %12s %9s  %s\n' "$name" "$matches" "$a" "$b" "$figure" "$target" \
        "$good"
    [ "$good" = yes ] || failed=1
}
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN {if (b == 0) print "inf"; else printf "%.2f", a / b}'
}
at_least() {
    awk -v v="$1" -v t="$2" 'BEGIN {print (v == "inf" || v + 0 >= t) ? "yes" : "no"}'
}

selfHard=0
read -r a b s < <(pairing computer:hard idle)
selfHard=$((selfHard + s))
perMinute=$(awk -v a="$a" -v m="$matches" -v n="$minutes" 'BEGIN {printf "%.2f", a / (m * n)}')
row "hard vs idle" "$a" "$b" "$s" "$perMinute/min" ">= 2/min" "$(at_least "$perMinute" 2)"

read -r a b s < <(pairing computer:hard computer:normal)
selfHard=$((selfHard + s))
r=$(ratio "$a" "$b")
row "hard vs normal" "$a" "$b" "$s" "$r:1" ">= 1.5:1" "$(at_least "$r" 1.5)"

read -r a b s < <(pairing computer:normal computer:easy)
r=$(ratio "$a" "$b")
row "normal vs easy" "$a" "$b" "$s" "$r:1" ">= 1.5:1" "$(at_least "$r" 1.5)"

read -r a b s < <(pairing computer:hard aggressor)
selfHard=$((selfHard + s))
r=$(ratio "$a" "$b")
row "hard vs aggressor" "$a" "$b" "$s" "$r:1" ">= 2:1" "$(at_least "$r" 2)"

good=no
[ "$selfHard" -eq 0 ] && good=yes
row "hard, self-inflicted" "-" "-" "-" "$selfHard" "0" "$good"
exit "$failed"
