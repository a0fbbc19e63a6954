# The baked show on Wayland, twice in one session. The setup dialog shows with its picture,
# Escape leaves it open, Alt+W and Enter give a floating 640 × 480 window drawing the scenes,
# and Escape ends the run with 0. Then full screen at 640 × 480: the output keeps its mode, so
# SDL scales the 640 × 480 surface to the whole output; no question is asked, Escape gives 0.
. "$(dirname "$0")/wayland_common.sh"
make_data
start_session wayland

start_wayland_demo
read -r x y w h _ <<<"$(wait_view "Ketterfold: Lanternwhirl")"
[ "$w $h" = "446 309" ] || fail "the dialog is $w x $h"
not_black "$x" "$y" "$w" "$h" dialog
keys Escape
still_running 1
[ -n "$(view "Ketterfold: Lanternwhirl")" ] || fail "Escape closed the dialog"
keys alt+w Return
wait_view "ketterfold: lanternwhirl" >/dev/null
[ -z "$(view "Ketterfold: Lanternwhirl")" ] || fail "the dialog is still up"
sleep 3 # the title has faded in
read -r x y w h sw sh full _ <<<"$(view "ketterfold: lanternwhirl")"
[ "$w $h $sw $sh $full" = "640 480 640 480 0" ] || fail "window $w x $h, surface $sw x $sh, full $full"
not_black "$x" "$y" "$w" "$h" window
keys Escape
wait_exit 10
expect_status 0
[ ! -s "$work/stderr" ] || fail "unexpected output: $(cat "$work/stderr")"

start_wayland_demo
wait_view "Ketterfold: Lanternwhirl" >/dev/null
keys Return
wait_view "ketterfold: lanternwhirl" >/dev/null
sleep 3
read -r x y w h sw sh full _ <<<"$(view "ketterfold: lanternwhirl")"
[ "$x $y $w $h $sw $sh $full" = "0 0 1024 768 640 480 1" ] ||
    fail "full screen at $x $y $w x $h, surface $sw x $sh, full $full"
not_black 0 0 1024 768 fullscreen
keys Escape
wait_exit 10
expect_status 0
[ ! -s "$work/stderr" ] || fail "unexpected output: $(cat "$work/stderr")"
echo "ok"
