# Shared by the online process tests: a work folder, the game's processes
# started in it and ended with it, fighting scripts, and waits. Source it after
# setting `bin` and `test_name`. The games' settings, replays and caches live
# in the work folder, never in the user's own. The waits' limits only catch a
# hang: each is many times what the wait usually takes, and the time it took
# is printed instead of judged (the machine may be busy).

work=$(mktemp -d)
pids=()
export XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache"
# Without a runtime folder SDL's probe of Wayland complains on standard error.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export HOME="$work/home"
mkdir "$HOME"

cleanup() {
    # A game still running here has failed the test.
    local pid
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT

fail() {
    echo "$test_name: $*" >&2
    echo "files kept in $work.keep" >&2
    cp -r "$work" "$work.keep" 2>/dev/null || true
    exit 1
}

# A script of N control bytes for player P (0 or 1): charging, turning and
# flying about in 20-frame runs, so that blasts fly, dig and hit. The two
# spare high bits are set at random, so that every byte value travels.
write_script() {
    local file=$1 frames=$2 player=$3
    awk -v n="$frames" -v p="$player" 'BEGIN {
        split("16 17 18 20 24 33 1 2 4 8 48 0 16 16", moves, " ")
        seed = 12345 + 777 * p
        for (t = 0; t < n; t++) {
            if (t % 20 == 0) {
                seed = (seed * 1103515245 + 12345) % 2147483648
                byte = moves[1 + int(seed / 65536) % 14]
            }
            print byte + 64 * ((t * 7 + p) % 4)
        }
    }' >"$file"
}

# Waits until the host started with its errors in $1 tells its port (at
# once; at most some 10 s); sets `port`.
wait_for_port() {
    port=
    for _ in $(seq 100); do
        port=$(sed -n 's/.*waiting for a player on port \([0-9]*\).*/\1/p' "$1" | head -n 1)
        [ -n "$port" ] && return 0
        sleep 0.1
    done
    fail "the host told no port: $(cat "$1")"
}

# Waits for process $1 to end, at most $2 seconds (a guard against a hang);
# sets `status` and `took` (in seconds) and prints "$3 after $took s", or fails
# with "$3: still running after $2 s".
wait_for_exit() {
    local pid=$1 guard=$2 what=$3 start
    start=$(date +%s%N)
    while kill -0 "$pid" 2>/dev/null; do
        [ $(($(date +%s%N) - start)) -lt $((guard * 1000000000)) ] ||
            fail "$what: still running after $guard s"
        sleep 0.02
    done
    took=$(awk -v ns=$(($(date +%s%N) - start)) 'BEGIN{printf "%.3f", ns / 1e9}')
    status=0
    wait "$pid" || status=$?
    echo "$test_name: $what after $took s"
}

# Starts an Xvfb on a display number it picks itself (into file $1, its log
# beside it); sets `display`. It does not reset when its last client leaves
# (-noreset): a reset refuses the connections that arrive meanwhile.
start_xvfb() {
    local file=$1
    Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$file" >"$file.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    display=:$(head -n 1 "$file")
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}

# Waits for the Kivoro window on display $1 and gives it the keyboard focus
# (there is no window manager to give it); sets `window`.
find_window() {
    window=
    for _ in $(seq 150); do
        window=$(DISPLAY=$1 xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no Kivoro window on $1"
    DISPLAY=$1 xdotool windowfocus "$window"
}
