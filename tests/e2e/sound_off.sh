# "No sound" ticked: the run never opens an audio device, and needs no module. The dialog is
# driven as on Windows: Tab goes over the tab stops only (RunDemo, the ticked radio button,
# Window, No sound), Space ticks the focused box, and a bare mnemonic letter ticks its box too.
. "$(dirname "$0")/e2e_common.sh"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
make_data nomusic
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" Tab Tab Tab space w Return
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
still_running 1
press "$window" Escape
wait_exit 10
expect_status 0
[ ! -e "$work/audio.raw" ] || fail "an audio device was opened"
[ ! -s "$work/stderr" ] || fail "unexpected output: $(cat "$work/stderr")"
echo "ok"
