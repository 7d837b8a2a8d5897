#!/usr/bin/env python3
"""Lists the functions of a layer longer than its limit, as file:line: name N lines, and exits 1
when there is one. A function is a brace block opened on a line that ends a signature (a name and
its parameters) and closed by the brace at the same indentation; lambdas and local classes count
as part of the function around them. The count runs from the signature's first line to the
closing brace.

    function_lengths.py SOURCE_DIR [LAYER=LIMIT ...]
"""
import os
import re
import sys

DEFAULT_LIMITS = {"game": 60, "play": 60, "engine": 60, "cli": 60, "ui": 60, "record": 60, "ai": 90,
                  "web": 60, "server": 60}
NOT_FUNCTIONS = re.compile(r"^\s*(namespace|class|struct|enum|union|if|for|while|switch|do|else|try|catch|return)\b")


def functions(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        stripped = line.rstrip()
        if stripped.endswith("{") and not NOT_FUNCTIONS.match(line) and "=" not in line.split("(")[0]:
            # Walk back to the signature's first line (a continuation is indented further or
            # holds the parameters of a line above).
            start = i
            head = stripped
            while True:
                if start > 0 and "(" not in head and lines[start - 1].strip() and \
                        not lines[start - 1].rstrip().endswith((";", "{", "}")):
                    pass
                elif start > 0 and (head.count("(") < head.count(")") or
                                    lines[start].lstrip().startswith((":", ","))):
                    pass
                else:
                    break
                start -= 1
                head = lines[start].rstrip() + " " + head
            m = re.search(r"([~\w:]+|operator\s*\S+)\s*\(", head)
            indent = len(lines[start]) - len(lines[start].lstrip())
            if m and not head.lstrip().startswith(("[", "return", "#")) and "[" not in head.split("(")[0]:
                end = i + 1
                closing = " " * indent + "}"
                while end < len(lines) and not (lines[end].startswith(closing) and (len(lines[end]) == indent + 1 or lines[end][indent + 1] in ";) ")):
                    end += 1
                if end < len(lines):
                    yield m.group(1), start + 1, end - start + 1
                    i = end
        i += 1


def main():
    root = sys.argv[1].rstrip("/")
    limits = dict(DEFAULT_LIMITS)
    for arg in sys.argv[2:]:
        layer, limit = arg.split("=")
        limits[layer] = int(limit)
    failures = 0
    for layer, limit in sorted(limits.items()):
        folder = os.path.join(root, layer)
        for dirpath, _, names in os.walk(folder):
            for name in sorted(names):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(dirpath, name)
                for fn, line, n in functions(path):
                    if n > limit:
                        print(f"{os.path.relpath(path, root)}:{line}: {fn} {n} lines (at most {limit} in {layer}/)")
                        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
