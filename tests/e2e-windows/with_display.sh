#!/usr/bin/env bash
# with_display.sh SCREEN COMMAND...: runs the command under its own Xvfb (SCREEN as WxHxD) with a
# wineserver of its own. A wineserver left from an earlier run keeps the display it started
# with, so it is stopped before and after. xvfb-run -a takes the first free display from its
# start number; a random start keeps two trees' runs apart. -noreset: Xvfb would otherwise
# restart whenever its last client leaves, refusing connections meanwhile.
screen=$1
shift
wineserver -k 2>/dev/null
xvfb-run -a -n $((RANDOM * 2 % 60000 + 1000)) -s "-screen 0 $screen -noreset" "$@"
status=$?
wineserver -k 2>/dev/null
exit $status
