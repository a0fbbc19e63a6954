#!/usr/bin/env bash
# Bakes a show and loads every file of it with the inspector, from inside the show folder as
# the demo does: every load must give result 0 and no texture may be reported missing.
#   inspect_baked_show.sh BAKER INSPECTOR WORKDIR
set -u
# The inspector opens GL, and Mesa's driver leaves allocations behind when it is unloaded.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
baker=$1 inspector=$2 show=$3/inspected-show
rm -rf "$show"
"$baker" "$show" || { echo "bake failed"; exit 1; }
cd "$show" || exit 1
failures=0
output=$(mktemp)
trap 'rm -f "$output"' EXIT
# The loaders answer with a result; a picture that fails to decode comes out 0 × 0.
check() {
    "$inspector" "$@" >"$output" 2>&1
    local last
    last=$(tail -n 1 "$output" | head -c 120)
    if [[ $last != '{"result":0'* && ! ($1 == jpeg && $last == '{"width":'[1-9]*) ]]; then
        echo "FAIL: $* -> $last"
        failures=$((failures + 1))
    elif grep -q "not found" "$output"; then
        echo "FAIL: $* reports a missing file:"
        grep "not found" "$output"
        failures=$((failures + 1))
    else
        echo "ok: $*"
    fi
}
for n in 1 2 3; do
    check mesh "data\\$n.chk"
    check anim "data\\$n.chk" "data\\${n}a.chk"
done
for f in data/*.jpg; do check jpeg "$f"; done
for f in gfx/*.tga; do check tga "$f"; done
[[ $(ls data/*.jpg | wc -l) -eq 8 ]] || { echo "FAIL: expected eight pictures"; failures=$((failures + 1)); }
exit $((failures > 0))
