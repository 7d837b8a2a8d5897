#!/bin/sh
# A stand-in engine that fails as it is told:
#   standin_engine.sh crash|hang|illegal|spin|handshake|stubborn|closed
# crash, hang, illegal, spin: at its move; handshake: it never finishes the handshake;
# stubborn: it hangs at its move and ignores SIGTERM (as does what it starts);
# closed: it closes its output at its move and goes on running.
[ "$1" = stubborn ] && trap '' TERM
while read -r line; do
    case $line in
    zubeki)
        [ "$1" = handshake ] && sleep 600
        echo "id name stand-in"; echo zubekiok ;;
    isready) echo readyok ;;
    go*)
        case $1 in
        crash) echo "stand-in: ending" >&2; exit 3 ;;
        hang | stubborn) sleep 600 ;;
        illegal) echo "bestmove 9a9a" ;;
        spin) while :; do :; done ;;
        closed) exec >&-; sleep 600 ;;
        esac ;;
    quit) exit 0 ;;
    esac
done
