# The setup dialog "Ketterfold: Lanternwhirl" comes up; Escape leaves it open; its close box
# (the close request a window manager sends for it) ends the program with 0, and no render
# window ever opens.
. "$(dirname "$0")/wine_common.sh"
make_data
answer_dialog Escape
still_running 1
[ -n "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "Escape closed the dialog"
"$SEND_CLOSE" "$dialog"
wait_exit 20
expect_status 0
expect_no_render_window
echo "ok"
