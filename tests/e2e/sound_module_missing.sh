# No "data//s2.it": "File not found" and exit status 1, no window.
. "$(dirname "$0")/e2e_common.sh"
make_data nomusic
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
box=$(wait_window "Error") || exit 1
expect_box "Error: File not found"
press "$box" Return
wait_exit 10
expect_status 1
expect_no_render_window
echo "ok"
