# Tab to No sound over the tab stops (RunDemo, the ticked radio button, Window, No sound), Space
# to tick it, a bare W for Window, Enter (the keys the Linux and web dialogs take alike): a
# window "ketterfold: lanternwhirl" with a 640 × 480 client area whose outer corner sits at
# half the screen minus half the client size (192, 144), so the frame pushes the client a
# little right and down; it runs until Escape, which ends it with 0.
. "$(dirname "$0")/wine_common.sh"
make_data
answer_dialog Tab Tab Tab space w Return
window=$(wait_window "ketterfold: lanternwhirl" 30) || exit 1
sleep 1
read -r x y width height <<<"$(geometry "$window")"
[ "$width $height" = "640 480" ] || fail "client area ${width}x${height}"
# Without a window manager the X window is the client area alone.
[ "$x" -gt 192 ] && [ "$x" -lt 212 ] && [ "$y" -gt 144 ] && [ "$y" -lt 184 ] ||
    fail "client area at $x, $y"
[ -z "$(find_window 'Ketterfold: Lanternwhirl')" ] || fail "the dialog is still up"
still_running 2
press "$window" Escape
wait_exit 20
expect_status 0
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR):" "$work/stderr" || fail "a box was shown"
echo "ok"
