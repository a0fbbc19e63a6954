# The baked show without "data\2.chk": "MESH error: couldn't load!", then "Initialization
# Failed.", and the program ends with 0 without playing.
. "$(dirname "$0")/wine_common.sh"
make_data
rm "$work/data/2.chk"
answer_dialog alt+w alt+n Return
box=$(wait_window "Error" 30) || exit 1
expect_box "Error: MESH error: couldn't load!"
press "$box" Return
box=$(wait_window "ERROR") || exit 1
expect_box "ERROR: Initialization Failed."
press "$box" Return
wait_exit 20
expect_status 0
[ -z "$(find_window 'ketterfold: lanternwhirl')" ] || fail "the render window is still open"
echo "ok"
