# With SDL's disk audio driver the run writes the music: non-silent audio.
. "$(dirname "$0")/e2e_common.sh"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
make_data
start_demo
dialog=$(wait_window "Ketterfold: Lanternwhirl") || exit 1
press "$dialog" alt+w Return
window=$(wait_window "ketterfold: lanternwhirl") || exit 1
still_running 2
press "$window" Escape
wait_exit 10
expect_status 0
[ -s "$work/audio.raw" ] || fail "no audio written"
loud=$(tr -d '\000' <"$work/audio.raw" | wc -c)
[ "$loud" -gt 10000 ] || fail "the audio is silent ($loud non-zero bytes)"
echo "ok"
