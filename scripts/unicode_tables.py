#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes core/unicode_tables.cpp from the Unicode Character Database that Debian's
unicode-data package installs: the format characters (general category Cf) and the simple case
folding (CaseFolding.txt, statuses C and S). Run it again when the database changes."""
import pathlib
import subprocess
import sys

UCD = pathlib.Path("/usr/share/unicode")
OUT = pathlib.Path(__file__).resolve().parent.parent / "core" / "unicode_tables.cpp"


def format_ranges():
    ranges = []
    first = None
    for line in (UCD / "UnicodeData.txt").read_text().splitlines():
        fields = line.split(";")
        code, name, category = int(fields[0], 16), fields[1], fields[2]
        if category != "Cf":
            continue
        if name.endswith("First>"):
            first = code
            continue
        start = first if name.endswith("Last>") else code
        first = None
        if ranges and ranges[-1][1] + 1 == start:
            ranges[-1][1] = code
        else:
            ranges.append([start, code])
    return ranges


def folding_runs():
    mapping = {}
    for line in (UCD / "CaseFolding.txt").read_text().splitlines():
        line = line.split("#")[0].strip()
        if not line:
            continue
        code, status, target = [f.strip() for f in line.split(";")[:3]]
        if status in ("C", "S"):
            mapping[int(code, 16)] = int(target, 16)
    # Runs of code points that fold by the same difference, every one or every other one.
    runs = []
    for code in sorted(mapping):
        delta = mapping[code] - code
        if runs:
            start, last, d, stride = runs[-1]
            if d == delta and code - last == stride:
                runs[-1][1] = code
                continue
            if d == delta and start == last and code - last == 2:
                runs[-1] = [start, code, d, 2]
                continue
        runs.append([code, code, delta, 1])
    return runs


def main():
    cf = format_ranges()
    runs = folding_runs()
    # The header of the file written, not this script's own.
    # REUSE-IgnoreStart
    lines = [
        "// SPDX-FileCopyrightText: 2026 The vorta developers",
        "// SPDX-License-Identifier: GPL-3.0-or-later",
        # REUSE-IgnoreEnd
        "// Written by scripts/unicode_tables.py from the Unicode Character Database; do not edit.",
        "",
        '#include "core/unicode_tables.h"',
        "",
        "namespace vorta::unicode_tables {",
        "",
        "const CodeRange kFormatCharacters[] = {",
    ]
    lines += [f"    {{0x{a:04X}, 0x{b:04X}}}," for a, b in cf]
    lines += ["};", "const std::size_t kFormatCharacterCount = std::size(kFormatCharacters);", ""]
    lines += ["const FoldRun kCaseFolding[] = {"]
    lines += [f"    {{0x{a:04X}, 0x{b:04X}, {d}, {s}}}," for a, b, d, s in runs]
    lines += ["};", "const std::size_t kCaseFoldingCount = std::size(kCaseFolding);", "",
              "} // namespace vorta::unicode_tables", ""]
    OUT.write_text("\n".join(lines))
    # Laid out as every other source file is.
    subprocess.run(["clang-format", "-i", str(OUT)], check=True)
    print(f"{OUT}: {len(cf)} format ranges, {len(runs)} folding runs", file=sys.stderr)


main()
