# The installed program (DEMO) started from an empty, unrelated folder under Xvfb.
#   plays:   it plays the show installed beside it (SHOW_DIR) in a window, says once where
#            from, carries its icon, writes nothing else on standard error, and Escape ends
#            it with 0.
#   missing: the installed show is gone too: with no sound, the load error as ever, then 0.
. "$(dirname "$0")/../e2e/e2e_common.sh"
mode=${1:-plays}

has_icon() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q '^_NET_WM_ICON(CARDINAL)'; }

start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
has_icon "$dialog" || fail "the dialog carries no icon"
if [ "$mode" = missing ]; then
    # Silent, so that the missing music does not end it first.
    press "$dialog" alt+w alt+n Return
    box=$(wait_window "Error") || exit 1
    has_icon "$box" || fail "the message box carries no icon"
    expect_box "Error: MESH error: couldn't load!"
    press "$box" Return
    box=$(wait_window "ERROR") || exit 1
    press "$box" Return
    wait_exit 10
    expect_status 0
    ! grep -qF "playing the show" "$work/stderr" || fail "it claimed to play a show"
else
    press "$dialog" alt+w Return
    window=$(wait_window "ketterfold: lanternwhirl") || exit 1
    has_icon "$window" || fail "the render window carries no icon"
    still_running 3
    press "$window" Escape
    wait_exit 10
    expect_status 0
    expected="lanternwhirl: no data folder here, playing the show in $SHOW_DIR"
    [ "$(cat "$work/stderr")" = "$expected" ] ||
        fail "standard error is not just '$expected'"
fi
echo "ok: $mode"
