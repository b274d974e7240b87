#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above it or beside it.

The layers and what each may include are the lines of layers.txt, which the build reads too. No
layer below ui includes Qt. bench/, tests/ and fuzz/ may include anything.
"""
import pathlib
import re
import sys


def read_layers(root: pathlib.Path) -> dict[str, set[str]]:
    below = {}
    for line in (root / "layers.txt").read_text(encoding="utf-8").splitlines():
        match = re.match(r"^([a-z]+):(.*)$", line)
        if match:
            below[match.group(1)] = set(match.group(2).split())
    return below


MAY_USE_QT = {"ui"}
FREE = {"bench", "tests", "fuzz"}

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s+<(Q[A-Za-z]*)(?:/[^>]*)?>")


def check(root: pathlib.Path) -> list[str]:
    below = read_layers(root)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".inc"} or not path.is_file():
            continue
        relative = path.relative_to(root)
        layer = relative.parts[0]
        if layer in FREE or layer.startswith("build") or layer.startswith("."):
            continue
        if layer not in below:
            if len(relative.parts) > 1:
                faults.append(f"{relative}: the folder {layer}/ is no known layer (add it to layers.txt)")
            continue
        allowed = below[layer] | {layer}
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            quoted = QUOTED.match(line)
            if quoted:
                target = quoted.group(1)
                if "/" not in target:
                    continue  # a file beside this one
                included = target.split("/")[0]
                if included not in allowed:
                    faults.append(f"{relative}:{number}: {layer}/ may not include {target}")
                continue
            angled = ANGLED.match(line)
            if angled and layer not in MAY_USE_QT:
                faults.append(f"{relative}:{number}: {layer}/ may not include Qt's <{angled.group(1)}>")
    return faults


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    faults = check(root)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"{len(faults)} include(s) against the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
