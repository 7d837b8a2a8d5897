#!/bin/sh
# check_layers.sh on a small tree: every include that climbs, goes sideways or brings Qt into a
# Qt-free layer is listed with its file and line, and nothing else is.
#   check_layers_test.sh CHECKER WORK_DIR
set -eu
checker=$1
tree=$2/tree
rm -rf "$tree"

# file, include, listed (1) or allowed (0).
cases='
game/rules.h       "play/game.h"             1
game/rules.cpp     <ai/search.h>             1
ai/search.cpp      "record/movelist.h"       1
record/file.cpp    "../ui/form1.h"           1
play/game.cpp      <QString>                 1
cli/main.cpp       <QtCore/QList>            1
engine/engine.cpp  "ui/form1.h"              1
view/canvas.cpp    "sound/module1.h"         1
game/state.cpp     "game/codes.h"            0
game/setup.cpp     "state.h"                 0
ai/eval.cpp        "../game/state.h"         0
ui/form1.cpp       "game/state.h"            0
cli/replay.cpp     "play/game.h"             0
engine/client.cpp  "record/movelist.h"       0
app/main.cpp       "view/canvas.h"           0
view/board.cpp     <QImage>                  0
record/queue.cpp   <queue>                   0
'
printf '%s\n' "$cases" | while read -r file include listed; do
    [ -n "$file" ] || continue
    mkdir -p "$(dirname "$tree/$file")"
    printf '// %s\n#include %s\n' "$file" "$include" >"$tree/$file"
done

status=0
sh "$checker" "$tree" >"$2/output.txt" || status=$?
cat "$2/output.txt"
[ "$status" -eq 1 ] || { echo "FAIL: the checker exited with $status, not 1"; exit 1; }

expected=$(printf '%s\n' "$cases" | awk '$3 == 1 { n++ } END { print n }')
printf '%s\n' "$cases" | while read -r file include listed; do
    [ -n "$file" ] || continue
    found=$(grep -cF "$file:2: #include $include: " "$2/output.txt" || true)
    [ "$found" -eq "$listed" ] || { echo "FAIL: $file:2 $include listed $found times"; exit 1; }
done
grep -q "^$expected include(s) break the layers$" "$2/output.txt" ||
    { echo "FAIL: not $expected includes counted"; exit 1; }
