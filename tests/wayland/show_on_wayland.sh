# The demo with no X server anywhere: a headless sway without XWayland, GTK and SDL on their
# Wayland backends, keys typed with wtype, windows read from sway's tree and seen with grim. sway
# refuses to run as root, so as root sway and the demo run as a user made here. The dialog takes
# its keys (Escape does nothing; Alt+8 or Alt+6, Alt+W, Enter), and the window of SIZE (800x600
# unless given), named by the desktop id, draws the baked show and plays it to its end with 0,
# or with ESCAPE set ends on Escape once drawn, with 0.
. "$(dirname "$0")/../e2e/e2e_common.sh" || exit 1
size=${SIZE:-800x600} && width=${size%x*} height=${size#*x}
user=lanternwhirl-test id=example.ketterfold.lanternwhirl
run=(env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY=wayland-1
    GDK_BACKEND=wayland SDL_VIDEODRIVER=wayland SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1)
if [ "$(id -u)" -eq 0 ]; then
    id "$user" &>/dev/null || useradd --system -M "$user" || id "$user" &>/dev/null || exit 1
    run=(setpriv --reuid="$user" --regid="$user" --init-groups -- "${run[@]}")
fi
make_data
mkdir -m 700 "$work/run" && printf '%s\n' 'xwayland disable' \
    'output HEADLESS-1 mode 1024x768' 'for_window [app_id=".*"] floating enable' >"$work/sway.cfg"
[ "$(id -u)" -ne 0 ] || chown -R "$user:" "$work"
"${run[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$work/sway.cfg" &>"$work/sway.log" &
trap "kill $!; cleanup" EXIT && trap 'exit 1' INT TERM
poll() { # poll CONDITION WHAT
    local end=$((SECONDS + 15))
    until eval "$1"; do [ $SECONDS -lt $end ] || fail "$2"; sleep 0.1; done
}
poll '[ -S "$work/run/wayland-1" ]' "sway did not start"
run+=(SWAYSOCK="$(echo "$work"/run/sway-ipc.*)")
# wtype plugs in a keyboard with a keymap of its own for each call: -s 300 lets the windows
# take it before the keys come.
keys() { "${run[@]}" wtype -s 300 "$@" || fail "wtype $*"; }
view() { "${run[@]}" swaymsg -r -t get_tree | jq -r --arg t "$1" '.. | objects | select(.name == $t
    and .pid) | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width)" +
    " \(.window_rect.height) \(.geometry.width) \(.geometry.height) \(.app_id) \(.focused)"'; }
(cd "$work" && exec "${run[@]}" "$DEMO" >"$work/stdout" 2>"$work/stderr") &
demo_pid=$!
poll '[[ "$(view "Ketterfold: Lanternwhirl")" == *true ]]' "no dialog"
read -r x y rest <<<"$(view "Ketterfold: Lanternwhirl")"
[ "$rest" = "446 309 446 309 $id true" ] || fail "the dialog: $rest"
keys -k Escape && still_running 1
[ -n "$(view "Ketterfold: Lanternwhirl")" ] || fail "Escape closed the dialog"
# SDL 2.26 crashes when its window takes the seat's keyboard without a keymap: the keyboard
# that presses Enter stays until the window has its own.
keys -M alt -k "${width:0:1}" -m alt && keys -M alt -k w -m alt
keys -k Return -s 3000 &
poll '[[ "$(view "ketterfold: lanternwhirl")" == *true ]]' "no window" && shown=$SECONDS
read -r x y w h rest <<<"$(view "ketterfold: lanternwhirl")"
[ "$w $h $rest" = "$width $height $width $height $id true" ] || fail "window $w $h $rest"
shot() { "${run[@]}" grim -g "$x,$y ${w}x$h" - >"$work/shot.png" && [ "$(convert "$work/shot.png" \
    -colorspace gray -format '%w %h %[fx:maxima > 0.1]' info:)" = "$width $height 1" ]; }
poll shot "the window's picture stays black, or is not $size" # the show fades in
if [ -n "${ESCAPE:-}" ]; then keys -k Escape && wait_exit 10 && expect_status 0 && echo "ok" && exit 0; fi
still_running $((100 - SECONDS + shown)) && wait_exit 30 && expect_status 0
[ $((SECONDS - shown)) -ge 105 ] || fail "the show ended after $((SECONDS - shown))s"
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR):" "$work/stderr" || fail "a box: $(cat "$work/stderr")"
echo "ok"
