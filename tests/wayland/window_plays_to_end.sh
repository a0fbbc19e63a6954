# The small test show in an 800 × 600 window plays through its 106 seconds and ends by itself
# with 0 and no box. SDL_VIDEODRIVER is not set: in a session without XWayland SDL falls back
# to Wayland by itself.
. "$(dirname "$0")/wayland_common.sh"
"$MAKE_SHOW_DATA" "$work" || fail "could not write the test show"
"$MAKE_MODULE" "$work/data/s2.it" || fail "could not write the module"
start_session
start_wayland_demo
wait_view "Ketterfold: Lanternwhirl" >/dev/null
keys alt+8 alt+w Return
wait_view "ketterfold: lanternwhirl" >/dev/null
shown=$SECONDS
sleep 3
read -r x y w h sw sh full _ <<<"$(view "ketterfold: lanternwhirl")"
[ "$w $h $sw $sh $full" = "800 600 800 600 0" ] || fail "window $w x $h, surface $sw x $sh, full $full"
not_black "$x" "$y" "$w" "$h" window
plays_to_end "$shown"
echo "ok"
