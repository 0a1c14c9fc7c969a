# Shared by the end-to-end, stress and soak scripts: a private Xvfb (an
# 800 x 600 screen, so the picture maps one to one, unless `xvfb_screen` says
# otherwise), the game started in it, and waits. Source it; it sets `work`,
# `xvfb_pid` and `game_pid` and cleans up on exit. The game's settings, replays
# and caches live in the work folder, never in the user's own. The waits' limits
# only catch a hang: each is many times what the wait usually takes, and the
# time it took is printed instead of judged (the machine may be busy).

work=$(mktemp -d)
game_pid=
xvfb_pid=
# A desktop session has a runtime folder; without one, SDL's probe of Wayland
# prints a complaint on standard error that is not the game's.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$work/config"
# Every game keeps its matches as replays under the data folder.
export XDG_DATA_HOME="$work/data"
# The GL library keeps its shader cache under the cache folder or HOME.
export XDG_CACHE_HOME="$work/cache"
export HOME="$work/home"
mkdir "$HOME"

cleanup() {
    # A game still running here has failed the test: end it outright, before its
    # X server goes away under it.
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT

fail() {
    echo "${test_name:-e2e}: $*" >&2
    echo "files kept in $work.keep" >&2
    cp -r "$work" "$work.keep" 2>/dev/null || true
    exit 1
}

# Runs an X client, again when it fails. With -noreset (see start_xvfb) a
# connection is not dropped; this is a second line of defence for a busy
# machine.
xtry() {
    local attempt
    for attempt in 1 2 3 4 5; do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# A screenshot of the whole screen as $work/NAME.png.
shot() { xtry import -window root "$work/$1.png"; }
# Mean brightness (0..1) of a region WxH+X+Y of a shot.
mean() { convert "$work/$1.png" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:; }
# Number of pixels that differ between two shots in a region WxH+X+Y.
changed() {
    convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/b.png"
    compare -metric AE -fuzz 2% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1 || true
}

# Starts Xvfb on a display number it picks itself (written to fd 3). Without
# -noreset the server resets whenever its last client leaves (xdpyinfo, each
# xdotool and import call), and a client that connects during the reset, the
# game among them, is refused: on a loaded machine half the starts failed so.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 "${xvfb_screen:-800x600x24}" -nolisten tcp \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    export DISPLAY=:$(head -n 1 "$work/display" 2>/dev/null)
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}

# Starts the game from an empty folder (the assets must be found beside the
# executable) with the given options, its output in game.out and game.err.
start_game() {
    game_options=("$@")
    mkdir -p "$work/run"
    (cd "$work/run" && SDL_AUDIODRIVER=dummy exec "$bin/kivoro" "$@") >"$work/game.out" 2>"$work/game.err" &
    game_pid=$!
    game_started=$(date +%s%N)
}

# Seconds (three decimals) since $1, a time from `date +%s%N`.
seconds_since() {
    awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN{printf "%.3f", ns / 1e9}'
}

# The game found no display: a connection the server refused (see xtry),
# unless the server is gone.
no_display_at_start() {
    ! kill -0 "$game_pid" 2>/dev/null && grep -q 'no display is available' "$work/game.err"
}

# Waits until the game's window shows a drawn frame (about a second; at most
# some 30 s for the window and 15 s for the frame); sets `window`. The window
# is looked up again at the end, so a window that SDL re-created while setting
# up its renderer is never the one keys go to.
wait_for_game() {
    window=
    local starts=1
    for _ in $(seq 300); do
        window=$(xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        if no_display_at_start && [ "$starts" -lt 3 ]; then
            echo "${test_name:-e2e}: the X server dropped the game's connection; starting it again"
            starts=$((starts + 1))
            start_game "${game_options[@]}"
        fi
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended at start: $(cat "$work/game.err")"
        sleep 0.1
    done
    [ -n "$window" ] || fail "no Kivoro window appeared"
    for _ in $(seq 150); do
        xtry import -window root "$work/first.png"
        awk "BEGIN{exit !($(convert "$work/first.png" -colorspace Gray -format "%[fx:mean]" info:) > ${first_frame_brightness:-0.03})}" && break
        sleep 0.1
    done
    window=$(xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] || fail "the Kivoro window went away"
    # There is no window manager: give the window the keyboard focus directly.
    xtry xdotool windowfocus "$window"
    echo "${test_name:-e2e}: the game showed its first frame $(seconds_since "$game_started") s after its start"
}

# Waits for the game to end after $2 (what ended it, for the messages); sets
# `status` and `took` (in seconds) and prints the time. A game ends in about
# 0.2 s (0.8 s seen on a machine loaded with builds and disk writes), so only
# one still running after $1 seconds fails, as hung.
wait_for_end() {
    local guard=$1 what=$2 start
    start=$(date +%s%N)
    while kill -0 "$game_pid" 2>/dev/null; do
        [ $(($(date +%s%N) - start)) -lt $((guard * 1000000000)) ] ||
            fail "the game was still running $guard s after $what"
        sleep 0.02
    done
    took=$(seconds_since "$start")
    status=0
    wait "$game_pid" || status=$?
    game_pid=
    echo "${test_name:-e2e}: the game ended $took s after $what"
}

# The game's standard error must be empty.
no_errors() {
    [ ! -s "$work/game.err" ] || fail "the game wrote to standard error: $(cat "$work/game.err")"
}
