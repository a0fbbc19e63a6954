# Alt+W, Alt+8 (the 800x600 button) and Alt+R (RunDemo): an 800 × 600 client area at
# (112, 84).
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w alt+8 alt+r
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
sleep 0.5
[ "$(geometry "$window")" = "112 84 800 600" ] || fail "geometry $(geometry "$window")"
press "$window" Escape
wait_exit 10
expect_status 0
echo "ok"
