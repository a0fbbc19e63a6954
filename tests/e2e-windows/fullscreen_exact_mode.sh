# Full screen on a 640 × 480 screen, which has the mode: no question, a borderless window
# covering the screen at 0, 0, and Escape ends the program with 0.
. "$(dirname "$0")/wine_common.sh"
make_data
answer_dialog alt+n Return
window=$(wait_window "ketterfold: lanternwhirl" 30) || exit 1
sleep 1
[ "$(geometry "$window")" = "0 0 640 480" ] || fail "geometry $(geometry "$window")"
still_running 2
press "$window" Escape
wait_exit 20
expect_status 0
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR|Ruva GL):" "$work/stderr" || fail "a box was shown"
echo "ok"
