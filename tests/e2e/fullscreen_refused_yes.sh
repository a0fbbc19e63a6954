# Full screen at 640 × 480 on a 1024 × 768 display is refused; "Yes" goes on in a window of
# the same client size.
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" Return
box=$(wait_window "Ruva GL") || exit 1
expect_box "Ruva GL: The Requested Fullscreen Mode Is Not Supported By"
expect_no_render_window
press "$box" Return # Yes is the default button
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
sleep 0.5
[ "$(geometry "$window")" = "192 144 640 480" ] || fail "geometry $(geometry "$window")"
[ "$(screen_size)" = "1024x768" ] || fail "the display mode changed to $(screen_size)"
press "$window" Escape
wait_exit 10
expect_status 0
echo "ok"
