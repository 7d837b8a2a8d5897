#!/bin/sh
# The game's layers include only downwards: every #include in a layer's folder names the layer
# itself or one it reaches along the arrows below, and the Qt-free layers name no Qt header.
# Lists each include that breaks this as file:line and exits 1.
#
#   check_layers.sh SOURCE_DIR
#
# tools/, bench/ and tests/ stand outside the layers and are not checked.
set -eu

if [ "$#" -ne 1 ]; then
    echo "usage: $0 SOURCE_DIR" >&2
    exit 2
fi
root=${1%/}

# Each layer, then the layers right below it. A layer may include itself and every layer these
# arrows reach from it (the window plays online through the server layer's client, and runs the
# server itself for players on one network); a sibling (ai and record, cli and ui) is out of
# reach. A new layer is one more line, and a folder that does not exist yet is simply skipped.
ZUBEKI_ARROWS='
app     ui
ui      play view sound server
cli     play engine
engine  play
play    ai record
ai      game
record  game
view    play
sound   play
web     play
server  play
game
'
# Layers built without Qt (ZUBEKI_GUI=OFF builds them on a machine with no Qt at all).
ZUBEKI_QT_FREE='game record ai play cli engine web'
export ZUBEKI_ARROWS ZUBEKI_QT_FREE

layers=$(printf '%s\n' "$ZUBEKI_ARROWS" | awk 'NF { print $1 }')
files=
for layer in $layers; do
    [ -d "$root/$layer" ] || continue
    files="$files $(find "$root/$layer" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' \
        -o -name '*.cpp' \) | LC_ALL=C sort)"
done
if [ -z "$files" ]; then
    echo "check_layers.sh: no layer folders under $root" >&2
    exit 2
fi

# shellcheck disable=SC2086
exec awk -v root="$root" '
function fail(what) {
    printf "%s:%d: #include %s: %s\n", substr(FILENAME, length(root) + 2), FNR, shown, what
    failures++
}
# A path with its "." and ".." steps taken, as the compiler would find it next to the file.
function normalise(path,    n, part, i, out, depth, kept) {
    n = split(path, part, "/")
    depth = 0
    for (i = 1; i <= n; i++) {
        if (part[i] == "" || part[i] == ".") continue
        if (part[i] == "..") { if (depth > 0) depth--; continue }
        kept[++depth] = part[i]
    }
    out = ""
    for (i = 1; i <= depth; i++) out = out (i > 1 ? "/" : "") kept[i]
    return out
}
BEGIN {
    n = split(ENVIRON["ZUBEKI_ARROWS"], line, "\n")
    for (i = 1; i <= n; i++) {
        m = split(line[i], word, " ")
        if (m == 0) continue
        known[word[1]] = 1
        below[word[1]] = ""
        for (j = 2; j <= m; j++) below[word[1]] = below[word[1]] " " word[j]
    }
    # Everything each layer reaches: itself, then the arrows followed to the bottom.
    for (layer in known) {
        reach[layer, layer] = 1
        todo = layer
        while (todo != "") {
            split(todo, queue, " ")
            todo = ""
            for (q in queue) {
                m = split(below[queue[q]], word, " ")
                for (j = 1; j <= m; j++) {
                    if (!(word[j] in known)) {
                        print "check_layers.sh: unknown layer " word[j] > "/dev/stderr"
                        unknownLayer = 1
                        exit
                    }
                    if (!((layer, word[j]) in reach)) {
                        reach[layer, word[j]] = 1
                        todo = todo " " word[j]
                    }
                }
            }
        }
    }
    m = split(ENVIRON["ZUBEKI_QT_FREE"], word, " ")
    for (j = 1; j <= m; j++) qtFree[word[j]] = 1
}
FNR == 1 { files++ }
/^[ \t]*#[ \t]*include[ \t]*[<"]/ {
    rest = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", rest)
    open = substr(rest, 1, 1)
    rest = substr(rest, 2)
    end = index(rest, open == "<" ? ">" : "\"")
    name = end ? substr(rest, 1, end - 1) : rest
    shown = open name (open == "<" ? ">" : "\"")
    file = substr(FILENAME, length(root) + 2)
    from = file
    sub(/\/.*/, "", from)
    if (name ~ /^\.\.?\//) {
        dir = file
        sub(/\/[^\/]*$/, "", dir)
        name = normalise(dir "/" name)
    }
    to = name
    if (sub(/\/.*/, "", to) && (to in known) && !((from, to) in reach))
        fail("the " from " layer may not include the " to " layer")
    if ((from in qtFree) && (name ~ /^Qt[A-Za-z]*\// || name ~ /^Q[A-Za-z0-9]*$/))
        fail("the " from " layer is built without Qt")
}
END {
    if (unknownLayer) exit 2
    if (failures) {
        printf "%d include(s) break the layers\n", failures
        exit 1
    }
    printf "%d files of the layers include only downwards\n", files
}
' $files
