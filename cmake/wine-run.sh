#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created once (wineboot -i) under a lock, so parallel tests can share it.
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/.lexora-ready" ]; then
    mkdir -p "$prefix"
    (
        flock 9
        if [ ! -f "$prefix/.lexora-ready" ]; then
            wineboot -i >/dev/null 2>&1 && wineserver -w && touch "$prefix/.lexora-ready"
        fi
    ) 9>"$prefix.lock"
fi
exec wine "$@"
