# The setup dialog "Ketterfold: Lanternwhirl" comes up; Escape leaves it open; its close box
# ends the program with 0, and no render window ever opens.
. "$(dirname "$0")/../e2e/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl" 60) || exit 1
press "$dialog" Escape
still_running 1
[ -n "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "Escape closed the dialog"
"$SEND_CLOSE" "$dialog"
wait_exit 20
expect_status 0
expect_no_render_window
echo "ok"
