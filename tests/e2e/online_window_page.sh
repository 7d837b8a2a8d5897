#!/bin/sh
# A real window and the page in Debian's chromium play each other through a real zubeki-server:
# the window creates the game from its command line (the lower side) and prints its code, the
# page joins with it (tests/web/join_window.mjs) and plays the upper side. LEVEL4's game from
# the start is played to the capture at move 18, the window's moves by clicks, each awaited on
# the window's board; the page's move awaited there too. The window then says it lost and writes
# the record, and the page shows the upper side's win by capture.
#
#   ZUBEKI_SERVER=path/to/zubeki-server ZUBEKI_SITE=path/to/site \
#       online_window_page.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools, node or chromium are missing.
set -u

DRIVER=$(cd "$(dirname "$0")/../web" && pwd)/join_window.mjs
for tool in node "${CHROMIUM:-chromium}"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1280x800 "$@"
SERVER_PROGRAM=${ZUBEKI_SERVER:?the path of zubeki-server in ZUBEKI_SERVER}
SITE=${ZUBEKI_SITE:?the path of the built page in ZUBEKI_SITE}
SHOT=$ARTIFACTS/online_window_page.png
PAGE_LOG=$ARTIFACTS/online-page.log

SERVER_PID=
PAGE_PID=
fail() {
    echo "FAIL: $*" >&2
    [ -f "$PAGE_LOG" ] && sed 's/^/page: /' "$PAGE_LOG" >&2
    for p in $PID $PAGE_PID $SERVER_PID; do kill -KILL "$p" 2>/dev/null; done
    rm -rf "$WORKDIR"
    exit 1
}

# Waits until the page's driver has said a line beginning with WORDS; sets SAID to the rest.
page_said() {
    tries=0
    until SAID=$(sed -n "s/^$1 *//p" "$PAGE_LOG") && [ -n "$SAID" ] || grep -qx "$1" "$PAGE_LOG"; do
        tries=$((tries + 1))
        [ "$tries" -le 600 ] || fail "the page did not say '$1'"
        kill -0 "$PAGE_PID" 2>/dev/null || fail "the page's driver ended before it said '$1'"
        sleep 0.1
    done
}

# Waits until the window's board differs from BEFORE and reads the same twice in a row (a piece
# in check blinks).
changed() {
    tries=0
    agreed=
    while [ "$tries" -lt 60 ]; do
        board=$(read_board "$SHOT") || fail "the board could not be read"
        if [ "$board" != "$1" ] && ! echo "$board" | grep -q '?'; then
            [ "$board" = "$agreed" ] && return 0
            agreed=$board
        else
            agreed=
        fi
        tries=$((tries + 1))
        sleep 0.1
    done
    return 1
}

start_server "$SERVER_PROGRAM" "$ARTIFACTS/online-server.log"
start_game "$ARTIFACTS/online-window.log" "$GAME" --lang ja --online-create "127.0.0.1:$PORT" \
    --side lower --name 窓
place_online 0
find_canvas "$ARTIFACTS/online-window-start.png"
invitation_code "$ARTIFACTS/online-window.log"

NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs" node --no-experimental-fetch "$DRIVER" \
    "$SITE" "127.0.0.1:$PORT" "$CODE" >"$PAGE_LOG" 2>&1 &
PAGE_PID=$!
page_said "joined upper"
answer_box "対局を始めます。あなたは下手です"

expect=$(printf '%s\n' ......RBR ......BRB ......RBR ......... ......... ......... \
    rbr...... brb...... rbr......)
n=0
for move in 7i4i 7h6i 8g7h 7h9f 6i4g 9f5b 4i4h 5b4c 4g5f; do
    n=$((n + 1))
    # The window's move, clicked again while its board stays as it was.
    before=$expect
    for attempt in 1 2 3; do
        click_move "$move"
        changed "$before" && break
        [ "$attempt" -lt 3 ] || fail "the window's move $move did not show (see $SHOT)"
    done
    # The page's answer, on the window's board as on the page's (the last one ends the game:
    # its box comes).
    page_said "moved $((2 * n))"
    [ "$n" -lt 9 ] || break
    expect=$(echo "$SAID" | tr / '\n')
    wait_board "$SHOT" "$expect" "the page's move $((2 * n)) did not come to the window"
done
answer_box "あなたの負けです"
page_said "ended upper capture 18"
wait "$PAGE_PID" || fail "the page's driver failed"
PAGE_PID=

record=$(ls ./*.棋譜 2>/dev/null | head -n 1)
[ -n "$record" ] || fail "the window wrote no record"
[ "$(wc -c <"$record")" -gt 180 ] || fail "the record is too short: $record"
echo "the window wrote $(basename "$record") ($(wc -c <"$record") bytes)"
quit_game
kill "$SERVER_PID" 2>/dev/null
finish
