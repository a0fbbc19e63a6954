# Helpers for the runs on Wayland: each script starts its own headless sway (no XWayland, no X
# server anywhere), a keyboard on its seat (SEAT_KEYBOARD), and the demo as a Wayland client
# with GTK and SDL on their Wayland backends. sway refuses to run as root, so as root both run
# as an ordinary user, made here when missing. Needs DEMO, SHOW_DIR, MAKE_MODULE and
# SEAT_KEYBOARD; sourcing e2e_common.sh gives the scratch folder and the checks.
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e_common.sh" || exit 1
[ -d "$work" ] || exit 1

user=lanternwhirl-test
sway_pid=""
keyboard_pid=""
trap 'exec 7>&-; for p in $keyboard_pid $sway_pid; do kill "$p" 2>/dev/null; done; cleanup' EXIT
trap 'exit 1' INT TERM
trap '' PIPE # a keyboard that has gone is reported, not a silent end

# The session's programs start as that user, each in an environment of its own that inherits
# nothing: no DISPLAY, so nothing can reach an X server.
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid="$user" --regid="$user" --init-groups --)
session=("${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
    WAYLAND_DISPLAY=wayland-1 GDK_BACKEND=wayland SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1)

# start_session [SDL_VIDEODRIVER]: sway on a 1024 × 768 headless output with the keyboard
# plugged in. The demo's windows float, as on a desktop that stacks its windows; sway would
# otherwise tile the render window to the screen.
start_session() {
    if [ "$(id -u)" -eq 0 ] && ! id "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
            id "$user" >/dev/null 2>&1 || fail "cannot make the user $user"
    fi
    [ -n "${1:-}" ] && session+=(SDL_VIDEODRIVER="$1")
    mkdir -p "$work/home" "$work/run"
    chmod 700 "$work/run"
    cat >"$work/sway.cfg" <<EOF
xwayland disable
output HEADLESS-1 mode 1024x768
for_window [app_id="lanternwhirl"] floating enable
EOF
    [ "$(id -u)" -eq 0 ] && chown -R "$user:" "$work"
    "${session[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$work/sway.cfg" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    local end=$((SECONDS + 10))
    until [ -S "$work/run/wayland-1" ] && ls "$work/run"/sway-ipc.*.sock >/dev/null 2>&1; do
        kill -0 "$sway_pid" 2>/dev/null || fail "sway did not start: $(cat "$work/sway.log")"
        [ $SECONDS -ge $end ] && fail "sway did not open its socket"
        sleep 0.1
    done
    session+=(SWAYSOCK="$(ls "$work/run"/sway-ipc.*.sock)")
    mkfifo "$work/keys"
    "${session[@]}" "$SEAT_KEYBOARD" <"$work/keys" >"$work/keyboard" 2>&1 &
    keyboard_pid=$!
    exec 7>"$work/keys"
    wait_answers 1
}

# wait_answers N: the keyboard has answered N lines.
wait_answers() {
    local end=$((SECONDS + 10))
    until [ "$(cat "$work/keyboard" 2>/dev/null | wc -l)" -ge "$1" ]; do
        kill -0 "$keyboard_pid" 2>/dev/null || fail "the keyboard ended: $(cat "$work/keyboard")"
        [ $SECONDS -ge $end ] && fail "the keyboard does not answer"
        sleep 0.05
    done
}

# keys CHORD...: types each chord on the seat's keyboard, into the focused window.
typed=1
keys() {
    local chord
    for chord in "$@"; do
        echo "$chord" >&7
        typed=$((typed + 1))
        wait_answers "$typed"
        sleep 0.1
    done
}

start_wayland_demo() {
    (cd "$work" && exec "${session[@]}" "$DEMO" >"$work/stdout" 2>"$work/stderr" 7>&-) &
    demo_pid=$!
}

# view TITLE: "x y width height surface-width surface-height fullscreen focused" of the window
# with that title in sway's tree: where its client area is on the output, and the size of what
# the client draws (empty when there is no such window).
view() {
    "${session[@]}" swaymsg -r -t get_tree | jq -r --arg t "$1" '.. | objects |
        select((.type == "con" or .type == "floating_con") and .name == $t and .pid != null) |
        "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width)" +
        " \(.window_rect.height) \(.geometry.width) \(.geometry.height) \(.fullscreen_mode)" +
        " \(.focused)"' 2>/dev/null
}

# wait_view TITLE [SECONDS]: prints the view once it is there and focused.
wait_view() {
    local end=$((SECONDS + ${2:-15})) v
    while [ $SECONDS -lt $end ]; do
        v=$(view "$1")
        if [[ $v == *" true" ]]; then
            echo "$v"
            return 0
        fi
        kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended while waiting for '$1'"
        sleep 0.1
    done
    fail "no focused window '$1' within ${2:-15}s: $("${session[@]}" swaymsg -t get_tree)"
}

# not_black X Y W H NAME: the compositor's picture of that rectangle has a lit pixel and is
# W × H pixels; it is kept as NAME.png in the scratch folder.
not_black() {
    local shot="$work/$5.png"
    "${session[@]}" grim -g "$1,$2 ${3}x$4" "$shot" || fail "grim could not take $5"
    [ "$(identify -format '%w %h' "$shot")" = "$3 $4" ] || fail "$5 is not $3 x $4"
    [ "$(convert "$shot" -colorspace gray -format '%[fx:maxima > 0.1]' info:)" = 1 ] ||
        fail "$5 is black"
}
