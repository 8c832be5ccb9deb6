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
# Once per prefix, for windows on the virtual display: Wine's own fonts (Tahoma for dialogs,
# menus and the GUI tests' texts), which Debian's fonts-wine keeps where this Wine does not look,
# go into the prefix's Fonts folder; and top-level windows are left unmanaged, since without a
# window manager Wine waits about two seconds for one whenever a managed window is closed.
fonts="$prefix/drive_c/windows/Fonts"
if [ ! -f "$prefix/.lexora-gui" ] ||
    { [ -f /usr/share/wine/fonts/tahoma.ttf ] && [ ! -f "$fonts/tahoma.ttf" ]; }; then
    (
        flock 9
        for font in /usr/share/wine/fonts/*.ttf; do
            name=${font##*/}
            [ ! -f "$font" ] || [ -f "$fonts/$name" ] ||
                { cp "$font" "$fonts/.$name" && mv "$fonts/.$name" "$fonts/$name"; }
        done
        [ -f "$prefix/.lexora-gui" ] ||
            { wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
                touch "$prefix/.lexora-gui"; }
    ) 9>"$prefix.lock"
fi
exec wine "$@"
