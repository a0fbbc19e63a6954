# The setup dialog is centred at its template size (297 × 190 dialog units of 1.5 × 1.625
# pixels); Escape leaves it open; its close request ends the program with 0, and no render
# window ever opens.
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
[ "$(geometry "$dialog")" = "289 229 446 309" ] || fail "dialog at $(geometry "$dialog")"
press "$dialog" Escape
still_running 1
[ -n "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "Escape closed the dialog"
"$SEND_CLOSE" "$dialog"
wait_exit 10
expect_status 0
expect_no_render_window
[ ! -s "$work/stderr" ] || fail "unexpected output: $(cat "$work/stderr")"
echo "ok"
