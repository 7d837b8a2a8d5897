#!/bin/sh
# The game on a screen of twice the density (QT_SCALE_FACTOR=2). The board must be drawn
# at the screen's density, not blown up from the logical size: the grid line beside a
# piece is exactly 2 device pixels of #008000 where a plain screen has 1, and the piece
# shows its artwork's own detail. Then a game between two humans through clicks at
# device positions, up to the upper side picking up its rook on (5, 5), which gets the
# light red outline.
#
#   scale2.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
# The doubled window is 1134 x 1066 device pixels.
e2e_begin 1280x1100 "$@"
PLAIN=$ARTIFACTS/scale1.png
SHOT=$ARTIFACTS/scale2.png
MOVES=$ARTIFACTS/scale2-moves.png
SELECTED=$ARTIFACTS/scale2-selected.png

# Squares (2, 7) and (8, 1) have pieces on both sides of their left grid line; prints
# the checker's measures of the first.
edges() {
    "$CHECKER" edge "$1" "$PICTURES" "$CANVAS_X" "$CANVAS_Y" "$SCALE" 2 7 &&
        "$CHECKER" edge "$1" "$PICTURES" "$CANVAS_X" "$CANVAS_Y" "$SCALE" 8 1 >/dev/null
}

start_game "$ARTIFACTS/scale1.log" "$GAME"
find_canvas "$PLAIN"
plain=$(edges "$PLAIN") || fail "the board's edges are not right at scale 1 (see $PLAIN)"
echo "scale 1: $plain"
quit_game

SCALE=2
export QT_SCALE_FACTOR=2
start_game "$ARTIFACTS/scale2.log" "$GAME"
find_canvas "$SHOT"
dense=$(edges "$SHOT") || fail "the board is not drawn sharply at scale 2 (see $SHOT)"
echo "scale 2: $dense"
# The same line, twice as wide in device pixels.
plainWidth=$(echo "$plain" | awk '{ print $2 }')
denseWidth=$(echo "$dense" | awk '{ print $2 }')
[ "$denseWidth" -eq $((2 * plainWidth)) ] ||
    fail "the grid line is $denseWidth px at scale 2, $plainWidth at scale 1"

# 対局 ▸ 対局(人間) ▸ スタート.
menu Down Right
wait_popup "the submenu 対局(人間) did not open"
xdotool key Return
answer_box "先手の番です"

# position ROW... : the nine rows of a board, row 1 first.
position() {
    printf '%s\n' "$@"
}
# move FROM_X FROM_Y TO_X TO_Y ROW... : one move with two presses, then the board.
move() {
    pick_up "$1" "$2" "$SELECTED"
    click_square "$3" "$4"
    what="($1, $2) to ($3, $4)"
    shift 4
    wait_board "$MOVES" "$(position "$@")" "the move $what did not show"
}

move 1 7 1 6 ......RBR ......BRB ......RBR ......... ......... \
    r........ .br...... brb...... rbr......
move 7 3 7 5 ......RBR ......BRB .......BR ......... ......R.. \
    r........ .br...... brb...... rbr......
move 1 6 1 5 ......RBR ......BRB .......BR ......... r.....R.. \
    ......... .br...... brb...... rbr......
move 7 5 5 5 ......RBR ......BRB .......BR ......... r...R.... \
    ......... .br...... brb...... rbr......
move 1 5 1 4 ......RBR ......BRB .......BR r........ ....R.... \
    ......... .br...... brb...... rbr......

# The upper side to move picks up its rook.
pick_up 5 5 "$SELECTED"
"$CHECKER" outline "$SELECTED" "$CANVAS_X" "$CANVAS_Y" "$SCALE" 5 5 FF0000
echo "screenshots in $PLAIN, $SHOT, $MOVES and $SELECTED"

quit_game
finish
