#!/bin/sh
# A record file named on the command line: the game starts with the record read, its
# three header names written around the board, and 進 on the menu bar steps its first move.
#
#   open_record.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1024x768 "$@"
PLAIN=$ARTIFACTS/open_record-plain.png
SHOT=$ARTIFACTS/open_record-loaded.png
STEPPED=$ARTIFACTS/open_record-stepped.png

# Where the header names go: a plain start draws nothing white there.
start_game "$ARTIFACTS/open_record-plain.log" "$GAME"
find_canvas "$PLAIN"
plain=$("$CHECKER" white "$PLAIN" "$CANVAS_X" "$CANVAS_Y" "$SCALE")
[ "$plain" = "game 0 upper 0 lower 0" ] || fail "white pixels where the names go on a plain start: $plain"
quit_game

# Game name, upper player, lower player, then the lower rook (1, 7) to (1, 6) and the
# upper rook (7, 3) to (7, 5); code page 932 (ASCII here), lines ended by CR LF.
printf 'E2E GAME\r\nALICE\r\nBOB\r\n 1716-900-900   0\r\n 7375 900 900   0\r\n' >e2e.棋譜

start_game "$ARTIFACTS/open_record.log" "$GAME" e2e.棋譜
answer_box " 読み込みました"
answer_box "棋譜を '進 'で進めて下さい"
find_canvas "$SHOT"
names=$("$CHECKER" white "$SHOT" "$CANVAS_X" "$CANVAS_Y" "$SCALE")
echo "white pixels where the names go: $names"
echo "$names" | awk '{ exit !($2 >= 20 && $4 >= 20 && $6 >= 20) }' ||
    fail "the header names are not all written: $names (see $SHOT)"

# 進 stands two captions right of 局面, the menu right of 対局.
menu Right Right Right Return
wait_board "$STEPPED" "$(printf '%s\n' ......RBR ......BRB ......RBR ......... ......... \
    r........ .br...... brb...... rbr......)" "進 did not step the rook from (1, 7) to (1, 6)"
echo "screenshots in $SHOT and $STEPPED"
expect_no_popup "a message box came up after 進"

quit_game
finish
