# Sourced: sets up and ends a Wine session for one build directory.
#   wine_session_start BUILD_DIR  - prefix BUILD_DIR/wineprefix, simulated driver in its system
#                                   directory, Xvfb on a free display; exports WINEPREFIX, DISPLAY
#   wine_session_stop             - ends the prefix's processes and the display
#   wine_session_window TITLE     - prints the X window of the first window whose title matches
#                                   TITLE (a regular expression) within 30 s; fails without one
WINE64=/usr/lib/wine/wine64

wine_session_start() {
    local build=$1
    export WINEPREFIX="$build/wineprefix"
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=C.UTF-8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating Wine prefix $WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        /usr/lib/wine/wineserver64 -w 2>/dev/null || wineserver -w 2>/dev/null || true
    fi
    # The help button's full-width "？" is in the system font, which has no such glyph under
    # Wine: link IPA Gothic to it, so that the system font falls back to its glyphs.
    if ! grep -q '^"System"=str(7):"ipag.ttf,IPAGothic' "$WINEPREFIX/system.reg"; then
        "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v System /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1
        /usr/lib/wine/wineserver64 -w 2>/dev/null || wineserver -w 2>/dev/null || true
    fi
    # Caption buttons are glyphs of Wine's Marlett (Debian's fonts-wine), which this Wine build
    # does not find in its data folder: without it they show as "0 1 r".
    local marlett=/usr/share/wine/fonts/marlett.ttf
    if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    local system32="$WINEPREFIX/drive_c/windows/system32"
    local driver
    driver=$(find "$build" -name nvapi64.dll -path '*simdriver*' -not -path '*decoy*' | head -n 1)
    if [ -n "$driver" ]; then cp "$driver" "$system32/nvapi64.dll"; fi
    if [ -z "${LUMIVAR_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local fifo
        fifo=$(mktemp -u)
        mkfifo "$fifo"
        Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
        WINE_SESSION_XVFB=$!
        local number
        read -r number <"$fifo"
        rm -f "$fifo"
        export DISPLAY=":$number"
    fi
    # One server and one set of Wine's own services for the whole session, started here with
    # no caller's output attached: otherwise the first program starts the services, they hold
    # its output open until an idle server shuts down, and a program started just as it shuts
    # down races it.
    /usr/lib/wine/wineserver64 -p 2>/dev/null || wineserver -p 2>/dev/null || true
    "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
}

wine_session_stop() {
    /usr/lib/wine/wineserver64 -k 2>/dev/null || wineserver -k 2>/dev/null || true
    if [ -n "${WINE_SESSION_XVFB:-}" ]; then kill "$WINE_SESSION_XVFB" 2>/dev/null || true; fi
}

wine_session_window() {
    local window
    for _ in $(seq 1 150); do
        window=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
