#!/bin/sh
# A stand-in engine that answers the handshake and then fails at its move as it is told:
#   standin_engine.sh crash|hang|illegal
while read -r line; do
    case $line in
    zubeki) echo "id name stand-in"; echo zubekiok ;;
    isready) echo readyok ;;
    go*)
        case $1 in
        crash) echo "stand-in: ending" >&2; exit 3 ;;
        hang) sleep 600 ;;
        illegal) echo "bestmove 9a9a" ;;
        esac ;;
    quit) exit 0 ;;
    esac
done
