# Helpers for the end-to-end runs: each script starts the demo in a scratch working folder
# under Xvfb and drives it with xdotool like a person. Needs DEMO, SHOW_DIR, MAKE_MODULE and
# SEND_CLOSE.
set -u

work=$(mktemp -d)
demo_pid=""
watch_pid=""
status=""

cleanup() {
    [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null
    [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/stderr" ]; then
        echo "--- demo's standard error:" >&2
        cat "$work/stderr" >&2
    fi
    exit 1
}

# The baked show's files (linked, so a script can leave one out) and a small music module
# that sounds from its first row as "data//s2.it"; make_data nomusic leaves the module out.
make_data() {
    mkdir -p "$work/data"
    local f
    for f in "$SHOW_DIR"/data/*; do
        [ -e "$f" ] && ln -s "$f" "$work/data/"
    done
    [ -d "$SHOW_DIR/gfx" ] && ln -s "$SHOW_DIR/gfx" "$work/gfx"
    rm -f "$work/data/s2.it"
    if [ "${1:-}" != nomusic ]; then
        "$MAKE_MODULE" "$work/data/s2.it" || fail "could not write the module"
    fi
}

start_demo() {
    # The server must take connections before the dialog looks for it.
    local end=$((SECONDS + 10))
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -ge $end ] && fail "the X server at $DISPLAY does not answer"
        sleep 0.1
    done
    (cd "$work" && exec "$DEMO" >"$work/stdout" 2>"$work/stderr") &
    demo_pid=$!
    # Remember whether the render window ever shows up.
    (while kill -0 "$demo_pid" 2>/dev/null; do
        [ -n "$(find_window 'ketterfold: lanternwhirl')" ] && touch "$work/render-window-seen"
        sleep 0.1
    done) &
    watch_pid=$!
}

# The id of a visible top-level window whose title is exactly name. (xdotool's own search
# neither matches case nor reads SDL's UTF-8 titles, and the dialog and the render window
# differ only in case.)
find_window() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk -v n="\"$1\":" '
            { s = $0; sub(/^ *0x[0-9a-f]+ /, "", s); if (index(s, n) == 1) print $1 }'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
            echo "$id"
            return 0
        fi
    done
    return 0
}

# wait_window NAME [SECONDS]: prints the window's id once it is visible.
wait_window() {
    local name=$1 limit=${2:-15} id
    local end=$((SECONDS + limit))
    while [ $SECONDS -lt $end ]; do
        id=$(find_window "$name")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended while waiting for '$name'"
        sleep 0.1
    done
    fail "no window '$name' within ${limit}s on $DISPLAY; the windows are:
$(xwininfo -root -children 2>&1 | grep 0x)"
}

# press WINDOW KEYS...: gives the window the keyboard focus and types the keys.
press() {
    local id=$1
    shift
    timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.2
    xdotool key --delay 80 "$@"
}

# wait_exit [SECONDS]: waits for the demo to end and sets status to its exit code.
wait_exit() {
    local limit=${1:-15}
    local end=$((SECONDS + limit))
    while kill -0 "$demo_pid" 2>/dev/null; do
        [ $SECONDS -ge $end ] && fail "the demo still runs after ${limit}s"
        sleep 0.1
    done
    wait "$demo_pid"
    status=$?
    demo_pid=""
    wait "$watch_pid" 2>/dev/null
    watch_pid=""
}

# still_running SECONDS: the demo keeps running for that long.
still_running() {
    local end=$((SECONDS + $1))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended early"
        sleep 0.1
    done
}

# geometry WINDOW: "x y width height" of the window's client area on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

screen_size() { xdpyinfo | awk '/dimensions:/ {print $2}'; }

expect_status() { [ "$status" = "$1" ] || fail "exit status $status, expected $1"; }
# answer_question_no BOX: Escape and the close box leave the Yes/No question up, as Windows'
# box without Cancel does; a bare N answers it.
answer_question_no() {
    press "$1" Escape
    "$SEND_CLOSE" "$1"
    sleep 1
    [ -n "$(find_window 'Ruva GL')" ] || fail "Escape or the close box answered the question"
    [ -z "$(find_window 'ERROR')" ] || fail "the question was answered"
    press "$1" n
}
expect_box() { grep -qF -- "$1" "$work/stderr" || fail "no message box '$1'"; }
expect_no_render_window() {
    [ ! -e "$work/render-window-seen" ] || fail "the render window opened"
}
