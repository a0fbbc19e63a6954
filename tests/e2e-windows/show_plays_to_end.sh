# The whole baked show in a window: it plays by itself through its 106 seconds and ends with 0,
# with no box on the way.
. "$(dirname "$0")/wine_common.sh"
make_data
answer_dialog alt+w alt+n Return
window=$(wait_window "ketterfold: lanternwhirl" 30) || exit 1
shown=$SECONDS
# It neither ends early nor needs a key: still running well into the last section ...
still_running 100
# ... and gone by itself shortly after second 106 (loading time does not count).
wait_exit 40
played=$((SECONDS - shown))
[ "$played" -ge 105 ] || fail "the show ended after ${played}s"
expect_status 0
! grep -qE "^(Error|ERROR|SHUTDOWN ERROR):" "$work/stderr" || fail "a box was shown"
echo "ok"
