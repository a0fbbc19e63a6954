# Without "data\end.jpg" the demo still starts and plays; no box is shown.
. "$(dirname "$0")/show_common.sh"
make_show_data
rm "$work/data/end.jpg"
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w alt+n Return
window=$(wait_render_window)
still_running 3
[ -z "$(find_window 'Error')" ] || fail "an error box is up"
press "$window" Escape
wait_exit 10
expect_status 0
! grep -qE "^(Error|ERROR):" "$work/stderr" || fail "a box was shown: $(cat "$work/stderr")"
echo "ok"
