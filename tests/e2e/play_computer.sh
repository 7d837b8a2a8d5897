#!/bin/sh
# A game against the computer through the real window: 対局 ▸ 対局(COM) ▸ 先手, the
# player's rook from (1, 7) to (1, 4) with two clicks, then the computer's reply. The
# screenshot must show the player's move and one upper piece moved out of its camp, with
# the computer's destination outlined in white (the last thing its turn draws).
#
#   play_computer.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1024x768 "$@"
START=$ARTIFACTS/play_computer-start.png
SHOT=$ARTIFACTS/play_computer.png

start_game "$ARTIFACTS/play_computer.log" "$GAME"
find_canvas "$START"

# 対局(COM) is the second item of 対局; its first item is 先手.
menu Down Down Right
wait_popup "the submenu 対局(COM) did not open"
xdotool key Return
answer_box "あなたの番です"

pick_up 1 7 "$SHOT"
click_square 1 4

# The player's move shows at once; the computer thinks, waits and blinks the squares in
# check (a blinking piece reads as gone) before its piece stands still. Its turn is over
# when it has outlined its destination.
tries=0
while :; do
    board=$(read_board "$SHOT") || fail "the board could not be read"
    verdict=$(echo "$board" | awk '
        { row[NR] = $0 }
        END {
            if (NR != 9) { print "unreadable"; exit }
            for (y = 1; y <= 9; ++y) if (row[y] ~ /\?/) { print "unsettled"; exit }
            if (substr(row[7], 1, 1) != "." || substr(row[4], 1, 1) != "r") {
                print "no player move"; exit
            }
            if (row[7] != ".br......" || row[8] != "brb......" || row[9] != "rbr......") {
                print "lower pieces disturbed"; exit
            }
            # Upper pieces inside their camp (columns 7-9, rows 1-3) and outside it.
            inside = 0; outside = 0; where = ""
            for (y = 1; y <= 9; ++y)
                for (x = 1; x <= 9; ++x)
                    if (substr(row[y], x, 1) ~ /[RB]/) {
                        if (x >= 7 && y <= 3) ++inside
                        else { ++outside; where = x " " y }
                    }
            if (inside == 9) { print "no reply"; exit }
            if (inside != 8 || outside != 1) { print "upper pieces " inside " + " outside; exit }
            print "moved " where
        }')
    case $verdict in
    moved*)
        toX=$(echo "$verdict" | awk '{ print $2 }')
        toY=$(echo "$verdict" | awk '{ print $3 }')
        if "$CHECKER" outline "$SHOT" "$CANVAS_X" "$CANVAS_Y" "$SCALE" "$toX" "$toY" FFFFFF \
            >/dev/null; then
            echo "the computer moved to ($toX, $toY)"
            break
        fi
        verdict="destination ($toX, $toY) not outlined yet"
        ;;
    esac
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ]; then
        echo "$board" >&2
        fail "the computer's reply did not settle: $verdict (see $SHOT)"
    fi
    running || fail "the game ended during the computer's turn"
    sleep 0.1
done
echo "$board"
echo "screenshot in $SHOT"

quit_game
finish
