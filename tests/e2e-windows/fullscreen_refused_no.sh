# Full screen at 640 × 480 on a 1024 × 768 screen that has no such mode: the "Ruva GL" question;
# No: "Program Will Now Close." and exit status 0, no render window.
. "$(dirname "$0")/wine_common.sh"
make_data
answer_dialog alt+n Return
box=$(wait_window "Ruva GL" 30) || exit 1
expect_box "Ruva GL: The Requested Fullscreen Mode Is Not Supported By"
answer_question_no "$box"
stop=$(wait_window "ERROR") || exit 1
expect_box "ERROR: Program Will Now Close."
press "$stop" Return
wait_exit 20
expect_status 0
expect_no_render_window
echo "ok"
