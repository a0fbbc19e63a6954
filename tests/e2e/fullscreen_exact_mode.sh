# Full screen at 640 × 480 on a 640 × 480 display: no question, the window covers the screen,
# and the desktop mode is there again after the run.
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" Return
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
sleep 0.5
[ -z "$(find_window 'Ruva GL')" ] || fail "the mode was refused"
[ "$(geometry "$window")" = "0 0 640 480" ] || fail "geometry $(geometry "$window")"
press "$window" Escape
wait_exit 10
expect_status 0
[ "$(screen_size)" = "640x480" ] || fail "display left at $(screen_size)"
grep -q "Ruva GL" "$work/stderr" && fail "a question was asked"
echo "ok"
