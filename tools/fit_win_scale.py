#!/usr/bin/env python3
"""Fits the scale of the review's winning chance, win = 1 / (1 + exp(-score / scale)).

Plays seeded LEVEL4 games against itself with `zubeki-cli selfplay`, reviews each record with
`zubeki-cli analyse` (the scores the review itself sees), and takes every position's score for
the lower side with the game's result for the lower side (1 a win, 0 a loss, 0.5 a draw or an
unfinished game). Forced results and the last move of each game are left out: their chance is
1 or 0 by definition. The scale is the one of greatest likelihood; the log-loss, the Brier score
and a table of predicted against won by score bucket tell how well it predicts.

    tools/fit_win_scale.py --cli build/ci/bin/zubeki-cli --games 160 --seed 1

To set two builds side by side on the same games, keep the games of one run (--records DIR),
review them again with the other build (--from DIR), and judge both at a scale fitted on other
games (--scale S): the log-loss is then that of games the scale never saw. The mover's bias is
the mean score with the lower side to move less the mean with the upper side to move: a score
that swings with the side to move shows it. The review takes the side to move's offset off
every score it reports; it is fitted here together with the scale.
"""

import argparse
import collections
import json
import math
import os
import subprocess
import sys
import tempfile


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit("failed: " + " ".join(args) + "\n" + done.stderr)
    return json.loads(done.stdout)


def pairs_of(review, game):
    """(score, result, lower side to move, game) for the lower side at every position after a
    move of the game."""
    moves = review["moves"]
    final = moves[-1]["score"]
    if isinstance(final, dict) and final.get("win") == 0:
        result = 1.0
    elif isinstance(final, dict) and final.get("lose") == 0:
        result = 0.0
    else:
        result = 0.5  # drawn or unfinished
    out = []
    for m in moves[:-1]:
        if isinstance(m["score"], (int, float)):
            # The score is after the move: the other side is then to move.
            out.append((float(m["score"]), result, m["side"] == "u", game))
    return out


def chance(score, scale):
    z = max(-60.0, min(60.0, score / scale))
    return 1.0 / (1.0 + math.exp(-z))


def unbiased(data, offset):
    """The scores with the side to move's offset taken off."""
    return [(s - offset if lower else s + offset, r, lower, g) for s, r, lower, g in data]


def log_loss(data, scale):
    total = 0.0
    for score, result, *_ in data:
        p = min(max(chance(score, scale), 1e-12), 1 - 1e-12)
        total -= result * math.log(p) + (1 - result) * math.log(1 - p)
    return total / len(data)


def per_game_log_loss(data, scale):
    """The log-loss with every game counted once: the positions of one game are much alike, and
    a long game's hundreds of them would otherwise outweigh many short games."""
    sizes = collections.Counter(g for *_, g in data)
    total = 0.0
    for score, result, _, g in data:
        p = min(max(chance(score, scale), 1e-12), 1 - 1e-12)
        total -= (result * math.log(p) + (1 - result) * math.log(1 - p)) / sizes[g]
    return total / len(sizes)


def least(f, lo, hi):
    """The argument of f's least value in [lo, hi], by golden-section search."""
    g = (math.sqrt(5) - 1) / 2
    a, b = hi - g * (hi - lo), lo + g * (hi - lo)
    fa, fb = f(a), f(b)
    for _ in range(80):
        if fa < fb:
            hi, b, fb = b, a, fa
            a = hi - g * (hi - lo)
            fa = f(a)
        else:
            lo, a, fa = a, b, fb
            b = lo + g * (hi - lo)
            fb = f(b)
    return (lo + hi) / 2


def fit(data):
    """The scale of least log-loss, by golden-section search over log(scale)."""
    return math.exp(least(lambda t: log_loss(data, math.exp(t)), math.log(10.0), math.log(20000.0)))


def fit_offset(data, scale):
    """The side to move's offset of least log-loss at the scale, and the scale refitted."""
    offset = 0.0
    for _ in range(4):
        offset = least(lambda c: log_loss(unbiased(data, c), scale), -1000.0, 1000.0)
        scale = fit(unbiased(data, offset))
    return offset, scale


def bias(data):
    """The mean score with the lower side to move less the mean with the upper side to move."""
    lower = [s for s, _, lower_to_move, _ in data if lower_to_move]
    upper = [s for s, _, lower_to_move, _ in data if not lower_to_move]
    return sum(lower) / len(lower) - sum(upper) / len(upper) if lower and upper else 0.0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cli", default="build/ci/bin/zubeki-cli")
    ap.add_argument("--games", type=int, default=160)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--play-nodes", type=int, default=20000, help="LEVEL4's budget in the games")
    ap.add_argument("--review", nargs="*", default=[],
                    help="extra options for analyse (default: its own budget)")
    ap.add_argument("--records", help="keep the games' records in this folder")
    ap.add_argument("--from", dest="source", help="review the records in this folder, play none")
    ap.add_argument("--scores", help="keep the reviews' scores in this file, and read them from "
                    "it when it is there (judging again without reviewing again)")
    ap.add_argument("--scale", type=float, help="judge at this scale instead of fitting one")
    ap.add_argument("--offset", type=float,
                    help="take this off each score for the side to move (with --scale); "
                         "without --scale the offset is fitted with the scale")
    args = ap.parse_args()

    folder = args.source or args.records or tempfile.mkdtemp(prefix="zubeki-fit-")
    if not args.source:
        run([args.cli, "selfplay", "--games", str(args.games), "--seed", str(args.seed),
             "--level", "4", "--lower", "computer", "--nodes", str(args.play_nodes),
             "--records", folder])
    data = []
    lengths = []
    if args.scores and os.path.exists(args.scores):
        with open(args.scores) as f:
            kept = json.load(f)
        # Scores kept before the game was kept with them count as one game each.
        data = [tuple(d) if len(d) == 4 else tuple(d) + (i,) for i, d in enumerate(kept["data"])]
        lengths = kept["lengths"]
    else:
        for name in sorted(os.listdir(folder)):
            if name.endswith(".棋譜"):
                review = run([args.cli, "analyse", os.path.join(folder, name)] + args.review)
                lengths.append(len(review["moves"]))
                data += pairs_of(review, len(lengths))
        if args.scores:
            with open(args.scores, "w") as f:
                json.dump({"data": data, "lengths": lengths}, f)
    if not data:
        sys.exit("no scored positions")

    if args.scale:
        scale, offset = args.scale, args.offset or 0.0
    else:
        scale = fit(data)
        print(f"without an offset: scale {scale:.1f}, log-loss {log_loss(data, scale):.4f}, "
              f"mover's bias {bias(data):.1f}")
        offset, scale = fit_offset(data, scale)
    data = unbiased(data, offset)
    print(f"side to move's offset {offset:.1f}")
    brier = sum((chance(s, scale) - r) ** 2 for s, r, *_ in data) / len(data)
    base = sum(r for _, r, *_ in data) / len(data)
    print(f"games {len(lengths)}, moves {sum(lengths)} (mean {sum(lengths) / len(lengths):.1f}), "
          f"positions {len(data)}, lower side's share {base:.3f}")
    print(f"{'given' if args.scale else 'fitted'} scale {scale:.1f}")
    print(f"mover's bias {bias(data):.1f}")
    print(f"log-loss {log_loss(data, scale):.4f} (a constant {base:.3f} gives "
          f"{-(base * math.log(base) + (1 - base) * math.log(1 - base)) if 0 < base < 1 else 0:.4f})")
    print(f"log-loss with each game counted once {per_game_log_loss(data, scale):.4f}")
    print(f"Brier {brier:.4f} (a constant gives {base * (1 - base):.4f})")
    print("score bucket      positions  predicted  won")
    rates = []
    edges = [-math.inf, -1500, -800, -400, -200, -100, 0, 100, 200, 400, 800, 1500, math.inf]
    for lo, hi in zip(edges, edges[1:]):
        rows = [(s, r) for s, r, *_ in data if lo <= s < hi]
        if rows:
            pred = sum(chance(s, scale) for s, _ in rows) / len(rows)
            won = sum(r for _, r in rows) / len(rows)
            print(f"[{lo:>6}, {hi:>6})  {len(rows):9d}  {pred:9.3f}  {won:.3f}")
            rates.append(won)
    rising = all(a <= b for a, b in zip(rates, rates[1:]))
    print(f"the share won {'rises' if rising else 'does not rise'} with the score")


if __name__ == "__main__":
    main()
