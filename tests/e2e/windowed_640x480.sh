# Alt+W then Enter: a 640 × 480 client area whose outer corner sits at half the screen minus
# half the client size; Escape ends the run with 0.
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
sleep 0.5
# No window manager draws a frame here, so the client corner is the outer corner.
[ "$(geometry "$window")" = "192 144 640 480" ] || fail "geometry $(geometry "$window")"
[ -z "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "the dialog is still up"
still_running 1
press "$window" Escape
wait_exit 10
expect_status 0
echo "ok"
