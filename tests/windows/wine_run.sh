#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix, which is made once, quietly, on
# first use and then shared by every test (CTest's emulator for the Windows build).
#   wine_run.sh PREFIX PROGRAM [ARGUMENTS...]
set -e
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
# The tests need neither .NET nor a browser engine: no installer prompts for them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/.prefix-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.prefix-ready" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.prefix-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
