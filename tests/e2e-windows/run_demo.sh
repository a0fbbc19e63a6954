#!/bin/sh
# The program as the end-to-end helpers start it (their DEMO): the Windows build under Wine, in
# the current folder, with the test prefix. Needs WINE_RUN (tests/windows/wine_run.sh),
# WINEPREFIX and DEMO_EXE.
exec "$WINE_RUN" "$WINEPREFIX" "$DEMO_EXE"
