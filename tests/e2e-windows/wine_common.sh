# The Linux end-to-end helpers (tests/e2e/e2e_common.sh) with the program under Wine as DEMO,
# plus the start every script shares.
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e_common.sh"

# answer_dialog KEYS...: starts the program, waits for the setup dialog (a fresh wineserver may
# take a while) and types the keys into it; the dialog's id is left in $dialog.
answer_dialog() {
    start_demo
    dialog=$(wait_window "Ketterfold: Lanternwhirl" 60) || exit 1
    press "$dialog" "$@"
}
