# Alt+W, Alt+N, Enter: a window "ketterfold: lanternwhirl" with a 640 × 480 client area, drawn
# and running until Escape, which ends the program with 0.
. "$(dirname "$0")/../e2e/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl" 60) || exit 1
press "$dialog" alt+w alt+n Return
window=$(wait_window "ketterfold: lanternwhirl" 30) || exit 1
sleep 1
read -r x y width height <<<"$(geometry "$window")"
[ "$width $height" = "640 480" ] || fail "client area ${width}x${height}"
[ -z "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "the dialog is still up"
still_running 2
press "$window" Escape
wait_exit 20
expect_status 0
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR):" "$work/stderr" || fail "a box was shown"
echo "ok"
