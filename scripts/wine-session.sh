# Sourced: sets up and ends Wine sessions for one build directory.
#   wine_prefix_ready BUILD_DIR PREFIX - makes the Wine prefix PREFIX if it is new and sets it up:
#                                        the font link, Marlett, no crash dialog, the simulated
#                                        driver of BUILD_DIR in its system directory; leaves no
#                                        Wine process running, so several can be made at once
#   wine_session_start BUILD_DIR [PREFIX]
#                                      - a session: the prefix (default BUILD_DIR/wineprefix) made
#                                        ready, Xvfb on a free display, the prefix's server and
#                                        services running; exports WINEPREFIX and DISPLAY. Each
#                                        call starts one more session
#   wine_session_stop                  - ends every session started: its prefix's processes and
#                                        its display
#   wine_session_window TITLE          - prints the X window of the first window whose title
#                                        matches TITLE (a regular expression) within 30 s; fails
#                                        without one
WINE64=/usr/lib/wine/wine64
WINE_SESSION_PREFIXES=()
WINE_SESSION_DISPLAYS=()

# wineserver OPTION, for the prefix in WINEPREFIX.
wine_server() {
    /usr/lib/wine/wineserver64 "$1" 2>/dev/null || wineserver "$1" 2>/dev/null || true
}

wine_prefix_ready() {
    local build=$1
    export WINEPREFIX=$2
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=C.UTF-8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating Wine prefix $WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        wine_server -w
    fi
    # The help button's full-width "？" is in the system font, which has no such glyph under
    # Wine: link IPA Gothic to it, so that the system font falls back to its glyphs.
    if ! grep -q '^"System"=str(7):"ipag.ttf,IPAGothic' "$WINEPREFIX/system.reg"; then
        "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v System /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1
        wine_server -w
    fi
    # A program that crashes gets Wine's debugger, which on a display waits for its crash dialog
    # to be closed, so a test that crashes would hang until its time-out. Without the dialog the
    # debugger prints the backtrace and the program ends.
    if ! grep -q '^"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
        "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 \
            /f >/dev/null 2>&1
        wine_server -w
    fi
    # Caption buttons are glyphs of Wine's Marlett (Debian's fonts-wine), which this Wine build
    # does not find in its data folder: without it they show as "0 1 r".
    local marlett=/usr/share/wine/fonts/marlett.ttf
    if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    local system32="$WINEPREFIX/drive_c/windows/system32"
    local driver
    driver=$(find "$build" -name 'wineprefix*' -prune -o \
        -name nvapi64.dll -path '*simdriver*' -not -path '*decoy*' -print | head -n 1)
    if [ -n "$driver" ]; then cp "$driver" "$system32/nvapi64.dll"; fi
}

wine_session_start() {
    local build=$1
    wine_prefix_ready "$build" "${2:-$build/wineprefix}"
    if [ -z "${LUMIVAR_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local fifo xvfb number
        fifo=$(mktemp -u)
        mkfifo "$fifo"
        Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
        xvfb=$!
        read -r number <"$fifo"
        rm -f "$fifo"
        WINE_SESSION_DISPLAYS+=("$xvfb")
        export DISPLAY=":$number"
    fi
    WINE_SESSION_PREFIXES+=("$WINEPREFIX")
    # One server and one set of Wine's own services for the whole session, started here with
    # no caller's output attached: otherwise the first program starts the services, they hold
    # its output open until an idle server shuts down, and a program started just as it shuts
    # down races it.
    wine_server -p
    "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
}

wine_session_stop() {
    local prefix xvfb
    for prefix in "${WINE_SESSION_PREFIXES[@]}"; do WINEPREFIX=$prefix wine_server -k; done
    for xvfb in "${WINE_SESSION_DISPLAYS[@]}"; do kill "$xvfb" 2>/dev/null || true; done
    WINE_SESSION_PREFIXES=()
    WINE_SESSION_DISPLAYS=()
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
