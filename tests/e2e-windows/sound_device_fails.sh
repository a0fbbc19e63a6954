# No audio device (Wine's audio drivers disabled): after the dialog, the "Error" box with the
# library's text, exit status 1, and no window.
. "$(dirname "$0")/wine_common.sh"
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"
make_data
answer_dialog alt+w Return
box=$(wait_window "Error" 30) || exit 1
expect_box "Error: Error initializing output device."
press "$box" Return
wait_exit 20
expect_status 1
expect_no_render_window
echo "ok"
