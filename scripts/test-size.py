#!/usr/bin/env python3
"""Prints the size of the tests against the code they test.

Counts non-blank lines that are not comments (and, in C++, not preprocessor
lines) in .cpp, .h, .qml, .js and .py files under src/ and tests/, and exits
non-zero when the tests fall outside a quarter to a third of the code.
--by-folder also prints the count of each folder under tests/.
"""
import pathlib
import sys

LOW, HIGH = 0.25, 0.33
SUFFIXES = {".cpp", ".h", ".qml", ".js", ".py"}


def code_lines(path: pathlib.Path) -> int:
    python = path.suffix == ".py"
    count = 0
    in_block = False
    in_doc = None
    for raw in path.read_text(encoding="utf-8", errors="replace").splitlines():
        line = raw.strip()
        if python:
            if in_doc:
                if in_doc in line:
                    in_doc = None
                continue
            if line[:3] in ('"""', "'''"):
                quote = line[:3]
                if line.count(quote) == 1:
                    in_doc = quote
                continue
            if not line or line.startswith("#"):
                continue
            count += 1
            continue
        if in_block:
            if "*/" in line:
                in_block = False
                line = line.split("*/", 1)[1].strip()
            else:
                continue
        if line.startswith("/*"):
            if "*/" not in line:
                in_block = True
            continue
        if not line or line.startswith("//") or line.startswith("#"):
            continue
        count += 1
    return count


def tree_lines(root: pathlib.Path) -> int:
    return sum(code_lines(p) for p in root.rglob("*") if p.suffix in SUFFIXES and p.is_file())


def main() -> int:
    top = pathlib.Path(__file__).resolve().parent.parent
    src = tree_lines(top / "src")
    tests = tree_lines(top / "tests")
    if "--by-folder" in sys.argv:
        for folder in sorted(p for p in (top / "tests").iterdir() if p.is_dir()):
            print(f"  tests/{folder.name}: {tree_lines(folder)}")
    ratio = tests / src if src else 0.0
    inside = LOW <= ratio <= HIGH
    print(f"tests {tests} lines, code {src} lines: {ratio:.0%} "
          f"({'inside' if inside else 'outside'} {LOW:.0%}-{HIGH:.0%})")
    return 0 if inside else 1


if __name__ == "__main__":
    sys.exit(main())
