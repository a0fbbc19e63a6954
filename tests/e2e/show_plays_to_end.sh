# The whole show from files: it plays by itself through its 106 seconds and ends, with no box
# on the way. The music plays from a module on the dummy audio driver.
. "$(dirname "$0")/show_common.sh"
make_show_data
"$MAKE_MODULE" "$work/data/s2.it" || fail "could not write the module"
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
window=$(wait_render_window)
shown=$SECONDS
# It neither ends early nor needs a key: still running well into the last section ...
still_running 100
# ... and gone by itself shortly after second 106 (loading time does not count).
wait_exit 30
played=$((SECONDS - shown))
[ "$played" -ge 105 ] || fail "the show ended after ${played}s"
# The end of the show is a normal end.
expect_status 0
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR):" "$work/stderr" || fail "a box was shown: $(cat "$work/stderr")"
echo "ok"
