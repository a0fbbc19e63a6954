# The small test show (three one-quad scenes, eight flat pictures) in the scratch folder, in
# place of the baked one; needs MAKE_SHOW_DATA beside the variables of e2e_common.sh.
. "$(dirname "$0")/e2e_common.sh"

make_show_data() {
    "$MAKE_SHOW_DATA" "$work" || fail "could not write the test show"
}

# The line number of the first standard-error line holding the text (empty when none).
box_line() { grep -nF -- "$1" "$work/stderr" | head -n 1 | cut -d: -f1; }

# The id of the viewable render window, found through the window tree: its WM_NAME is set as
# UTF8_STRING, which xdotool's name search does not read here.
render_window() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null |
        awk '/"ketterfold: lanternwhirl"/ {print $1}'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
            echo "$id"
            return 0
        fi
    done
    return 0
}

# wait_render_window [SECONDS]: prints the render window's id once it is viewable.
wait_render_window() {
    local limit=${1:-15} id
    local end=$((SECONDS + limit))
    while [ $SECONDS -lt $end ]; do
        id=$(render_window)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended before its window showed"
        sleep 0.1
    done
    fail "no render window within ${limit}s"
}
