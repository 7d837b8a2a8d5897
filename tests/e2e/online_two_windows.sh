#!/bin/sh
# Two real windows play each other through a real zubeki-server: one started with
# --online-create (its invitation code read from its output), the other with --online-join
# and that code. LEVEL4's game from the start is played by clicks, each window moving its own
# side, to the capture at move 18; both windows then say how it ended and write the same
# record.
#
#   ZUBEKI_SERVER=path/to/zubeki-server online_two_windows.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1280x800 "$@"
SERVER_PROGRAM=${ZUBEKI_SERVER:?the path of zubeki-server in ZUBEKI_SERVER}
SHOT=$ARTIFACTS/online_two_windows.png

SERVER_PID=
OTHER_PID=
fail() {
    echo "FAIL: $*" >&2
    for p in $PID $OTHER_PID $SERVER_PID; do kill -KILL "$p" 2>/dev/null; done
    rm -rf "$WORKDIR"
    exit 1
}

start_server "$SERVER_PROGRAM" "$ARTIFACTS/online-server.log"

# Each window in a folder of its own (its settings, and its records).
mkdir -p a b
use() { # use a|b: the functions of the library act on that window
    eval "PID=\$PID_$1 WID=\$WID_$1 CANVAS_X=\$CX_$1 CANVAS_Y=\$CY_$1 OTHER_PID=\$PID_$2"
}
keep() { # keep a|b: what the library found for the window in use
    eval "PID_$1=\$PID WID_$1=\$WID CX_$1=\${CANVAS_X:-} CY_$1=\${CANVAS_Y:-}"
}
cd a && XDG_CONFIG_HOME=$PWD/config start_game "$ARTIFACTS/online-a.log" \
    "$GAME" --lang ja --online-create "127.0.0.1:$PORT" --side lower --name A && cd ..
place_online 0
find_canvas "$ARTIFACTS/online-a-start.png"
keep a
invitation_code "$ARTIFACTS/online-a.log"

PID_b=
cd b && XDG_CONFIG_HOME=$PWD/config start_game "$ARTIFACTS/online-b.log" \
    "$GAME" --lang ja --online-join "127.0.0.1:$PORT" --code "$CODE" --name B && cd ..
OTHER_PID=$PID_a
place_online 640
answer_box "対局を始めます。あなたは上手です"
find_canvas "$ARTIFACTS/online-b-start.png"
keep b
use a b
answer_box "対局を始めます。あなたは下手です"

# A move by clicks (files count from the right; the right button promotes) in window $2,
# done once both windows show the same board, settled and changed; the clicks are tried again
# while the mover's own board stays as it was. The last move ends the game: its boxes come.
play() {
    # (A piece in check blinks: the board before is the one both windows last agreed on.)
    before=$settled
    for attempt in 1 2 3; do
        use "$2" "$3"
        click_move "$1"
        if [ -n "${4:-}" ]; then
            # The winning move: the mover's window says how the game ended.
            tries=0
            while [ "$tries" -lt 40 ]; do
                [ -z "$(popups)" ] || return 0
                tries=$((tries + 1))
                sleep 0.1
            done
            continue
        fi
        tries=0
        while [ "$tries" -lt 40 ]; do
            use "$2" "$3"
            mover=$(read_board "$SHOT") || fail "the board could not be read"
            use "$3" "$2"
            other=$(read_board "$SHOT") || fail "the board could not be read"
            # Twice alike in a row: a blinking piece has not fooled one read.
            if [ "$mover" = "$other" ] && [ "$mover" != "$before" ] &&
                ! echo "$mover" | grep -q '?'; then
                if [ "$mover" = "${agreed:-}" ]; then
                    settled=$mover
                    return 0
                fi
                agreed=$mover
            else
                agreed=
            fi
            tries=$((tries + 1))
            sleep 0.1
        done
        [ "$mover" = "$before" ] ||
            fail "move $1 shows differently on the two windows (see $SHOT):
$mover
--
$other"
    done
    fail "the move $1 did not show on its own board (see $SHOT)"
}

settled=$(printf '%s\n' ......RBR ......BRB ......RBR ......... ......... ......... \
    rbr...... brb...... rbr......)
n=0
for move in 7i4i 2c6g 7h6i 6g7f 8g7h 1b6g 7h9f 6g7h+ 6i4g 7f8g+ 9f5b 3c3i 4i4h 3b7f 5b4c 3a3g 4g5f 3g6g; do
    n=$((n + 1))
    last=
    [ "$n" -lt 18 ] || last=yes
    if [ $((n % 2)) -eq 1 ]; then play "$move" a b $last; else play "$move" b a $last; fi
done

# Both windows say how it ended; the upper side (B) surrounded a group.
shot "$ARTIFACTS/online_two_windows-end.png"
use a b
answer_box "あなたの負けです"
use b a
answer_box "あなたの勝ちです"
ra=$(ls a/*.棋譜 2>/dev/null | head -n 1)
rb=$(ls b/*.棋譜 2>/dev/null | head -n 1)
[ -n "$ra" ] && [ -n "$rb" ] || fail "a window wrote no record: '$ra' '$rb'"
cmp "$ra" "$rb" || fail "the two records differ: $ra $rb"
echo "both windows wrote $(basename "$ra") ($(wc -c <"$ra") bytes)"

use a b
quit_game
use b a
OTHER_PID=
quit_game
kill "$SERVER_PID" 2>/dev/null
finish
