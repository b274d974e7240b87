#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above it or beside it.

The layers, from the bottom (a layer may include its own headers and those of the layers
listed as below it):

  common                      header-only helpers below everything (the hex digits)
  engines | platform          the bottom: neither knows the other
  checksums
  hashing
  sums                        the sum-file module: reads and writes sum files, knows no pass
  checking                    the window's core; its sum commands build on sums/
  ui | cli                    on top, beside each other; cli never includes ui or Qt

No layer below ui includes Qt. bench/, tests/ and fuzz/ may include anything.
"""
import pathlib
import re
import sys

BELOW = {
    "common": set(),
    "engines": {"common"},
    "platform": {"common"},
    "checksums": {"common", "engines", "platform"},
    "hashing": {"common", "engines", "platform", "checksums"},
    "sums": {"common", "engines", "platform", "checksums", "hashing"},
    "checking": {"common", "engines", "platform", "checksums", "hashing", "sums"},
    "ui": {"common", "engines", "platform", "checksums", "hashing", "checking", "sums"},
    "cli": {"common", "engines", "platform", "checksums", "hashing", "checking", "sums"},
}
MAY_USE_QT = {"ui"}
FREE = {"bench", "tests", "fuzz"}

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s+<(Q[A-Za-z]*)(?:/[^>]*)?>")


def check(root: pathlib.Path) -> list[str]:
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".inc"} or not path.is_file():
            continue
        relative = path.relative_to(root)
        layer = relative.parts[0]
        if layer in FREE or layer.startswith("build") or layer.startswith("."):
            continue
        if layer not in BELOW:
            if len(relative.parts) > 1:
                faults.append(f"{relative}: the folder {layer}/ is no known layer (add it to {__file__})")
            continue
        allowed = BELOW[layer] | {layer}
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
