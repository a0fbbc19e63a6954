# The whole show from files: it plays by itself through its 106 seconds and ends, with no box
# on the way. The music plays from a module on the dummy audio driver.
. "$(dirname "$0")/show_common.sh"
make_show_data
"$MAKE_MODULE" "$work/data/s2.it" || fail "could not write the module"
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
window=$(wait_render_window)
plays_to_end $SECONDS
echo "ok"
