# "No" to the window question: "Program Will Now Close." and exit status 0, no render window.
# The Yes/No box has no Cancel: Escape and its close box leave it up; a bare N answers it.
. "$(dirname "$0")/e2e_common.sh"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" Return
box=$(wait_window "Ruva GL") || exit 1
answer_question_no "$box"
stop=$(wait_window "ERROR") || exit 1
expect_box "ERROR: Program Will Now Close."
press "$stop" Return
wait_exit 10
expect_status 0
expect_no_render_window
echo "ok"
