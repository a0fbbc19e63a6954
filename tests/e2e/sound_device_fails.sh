# An audio driver that cannot open: after the dialog, the "Error" box with the library's text,
# exit status 1, and no window.
. "$(dirname "$0")/e2e_common.sh"
export SDL_AUDIODRIVER=nonexistent
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
box=$(wait_window "Error") || exit 1
expect_box "Error: Error initializing output device."
press "$box" Return
wait_exit 10
expect_status 1
expect_no_render_window
echo "ok"
