# Without "data\2.chk": "MESH error: couldn't load!", then "Initialization Failed.", and the
# demo ends with 0 without playing.
. "$(dirname "$0")/show_common.sh"
make_show_data
rm "$work/data/2.chk"
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w alt+n Return
box=$(wait_window "Error") || exit 1
expect_box "Error: MESH error: couldn't load!"
press "$box" Return
box=$(wait_window "ERROR") || exit 1
expect_box "ERROR: Initialization Failed."
[ -z "$(render_window)" ] || fail "the render window is still open"
press "$box" Return
wait_exit 10
expect_status 0
mesh=$(box_line "MESH error: couldn't load!")
init=$(box_line "Initialization Failed.")
[ "$mesh" -lt "$init" ] || fail "the boxes came in the wrong order"
! grep -qF "ANIM error" "$work/stderr" || fail "an animation box was shown"
echo "ok"
