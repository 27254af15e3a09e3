#!/usr/bin/python3
"""Measures what the test suite catches: makes small, plausible faults in the product's C++
sources one at a time, rebuilds incrementally, runs the suite and reports the share of faults
it caught, with the ones that survived.

A fault ("mutant") is one edit of one line: a comparison or a logical operator turned into a
near neighbour, a boolean flipped, a small integer literal moved by one, or a call statement
dropped. The candidate sites are listed in a fixed order and sampled from a seed, an equal share
from each folder, so the same seed and sample size over the same sources give the same faults.

    scripts/mutate.py --seed 7 --count 60            # build/ must be configured already
    scripts/mutate.py --list --seed 7 --count 60     # only print the sample

A mutant that does not compile is not counted. A suite that takes longer than --timeout counts
as caught (an endless loop is a fault the suite noticed). The source is restored after each
mutant, also on Ctrl-C. Results go to standard output and, with --json, to a file.
"""

import argparse
import json
import os
import random
import re
import subprocess
import sys
import time
from dataclasses import dataclass, asdict
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_FOLDERS = ["plugin", "server", "game"]

# Operator swaps: each token and the plausible slip that replaces it.
SWAPS = [
    ("<=", "<"), (">=", ">"), ("==", "!="), ("!=", "=="), ("&&", "||"), ("||", "&&"),
    ("<", "<="), (">", ">="),
]
BOOLS = {"true": "false", "false": "true"}
CALL_STATEMENT = re.compile(r"^(\s*)((?:[A-Za-z_][\w:]*(?:\.|->))*[A-Za-z_]\w*\(.*\);)\s*$")
NOT_A_CALL = re.compile(r"^\s*(return|if|for|while|switch|case|delete|throw|using|typedef|"
                        r"static_assert|co_return)\b")
INT_LITERAL = re.compile(r"(?<![\w.])([0-9])(?![\w.'])")


@dataclass
class Mutant:
    file: str
    line: int  # 1-based
    kind: str
    before: str
    after: str

    def label(self):
        return f"{self.file}:{self.line} {self.kind}: {self.before.strip()}  =>  {self.after.strip()}"


def code_part(line):
    """The line with string/char literals blanked and a trailing // comment removed, same length."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)[: len(line)]


def skip_line(code):
    s = code.strip()
    return not s or s.startswith(("#", "*", "/*", "static_assert", "template"))


def sites_in(path, rel):
    lines = path.read_text().splitlines(keepends=True)
    found = []
    in_block_comment = False
    for number, line in enumerate(lines, 1):
        if in_block_comment:
            if "*/" in line:
                in_block_comment = False
            continue
        if line.lstrip().startswith("/*") and "*/" not in line:
            in_block_comment = True
            continue
        code = code_part(line)
        if skip_line(code):
            continue
        taken = set()
        for token, replacement in SWAPS:
            for m in re.finditer(re.escape(token), code):
                start, end = m.start(), m.end()
                if any(p in taken for p in range(start, end)):
                    continue
                if token in ("<", ">"):
                    # A lone comparison has a space each side (the formatter puts them there);
                    # template brackets, shifts and arrows do not.
                    if code[start - 1: start] != " " or code[end: end + 1] != " ":
                        continue
                taken.update(range(start, end))
                found.append(Mutant(rel, number, "operator", line,
                                    line[:start] + replacement + line[end:]))
        for word, other in BOOLS.items():
            for m in re.finditer(rf"\b{word}\b", code):
                found.append(Mutant(rel, number, "boolean", line,
                                    line[: m.start()] + other + line[m.end():]))
        for m in INT_LITERAL.finditer(code):
            value = int(m.group(1))
            found.append(Mutant(rel, number, "off-by-one", line,
                                line[: m.start()] + str(value + 1) + line[m.end():]))
        call = CALL_STATEMENT.match(code)
        if call and not NOT_A_CALL.match(code) and "=" not in code.split("(")[0] \
                and code.count("(") == code.count(")") and not code.rstrip().endswith("});"):
            head = code.split("(")[0].strip()
            if " " not in head:  # a call, not a declaration such as `Foo bar(x);`
                indent = call.group(1)
                found.append(Mutant(rel, number, "drop call", line, f"{indent}(void)0;\n"))
    return found


def all_sites(folders):
    by_folder = {}
    for folder in folders:
        sites = []
        for path in sorted((ROOT / folder).rglob("*.cpp")):
            sites.extend(sites_in(path, str(path.relative_to(ROOT))))
        by_folder[folder] = sites
    return by_folder


def sample(by_folder, seed, count):
    rng = random.Random(seed)
    folders = sorted(by_folder)
    chosen = []
    for i, folder in enumerate(folders):
        share = count // len(folders) + (1 if i < count % len(folders) else 0)
        sites = by_folder[folder]
        chosen.extend(rng.sample(sites, min(share, len(sites))))
    return chosen


def run(cmd, timeout=None, quiet=True):
    out = subprocess.DEVNULL if quiet else None
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=out, stderr=out, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def apply(mutant):
    path = ROOT / mutant.file
    original = path.read_text()
    lines = original.splitlines(keepends=True)
    assert lines[mutant.line - 1] == mutant.before, f"source moved under {mutant.label()}"
    lines[mutant.line - 1] = mutant.after
    path.write_text("".join(lines))
    return original


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--folders", nargs="+", default=DEFAULT_FOLDERS)
    parser.add_argument("--build-dir", default="build")
    parser.add_argument("--timeout", type=int, default=900, help="seconds for one suite run")
    parser.add_argument("--test-args", default="-j2 --stop-on-failure",
                        help="extra ctest arguments")
    parser.add_argument("--list", action="store_true", help="print the sample and stop")
    parser.add_argument("--json", help="write the results there")
    args = parser.parse_args()

    mutants = sample(all_sites(args.folders), args.seed, args.count)
    if args.list:
        for m in mutants:
            print(m.label())
        return 0

    build = ["cmake", "--build", args.build_dir]
    test = ["ctest", "--test-dir", args.build_dir, "--output-on-failure"] + args.test_args.split()
    if run(build) != 0 or run(test, args.timeout) != 0:
        sys.exit("the unchanged tree must build and pass its suite first")

    results = []
    started = time.monotonic()
    for n, mutant in enumerate(mutants, 1):
        original = apply(mutant)
        try:
            if run(build) != 0:
                outcome = "no build"
            else:
                code = run(test, args.timeout)
                outcome = "survived" if code == 0 else "caught"
        finally:
            (ROOT / mutant.file).write_text(original)
        results.append({**asdict(mutant), "outcome": outcome})
        print(f"[{n}/{len(mutants)}] {outcome:8} {mutant.label()}", flush=True)
    run(build)

    caught = sum(r["outcome"] == "caught" for r in results)
    survived = [r for r in results if r["outcome"] == "survived"]
    judged = caught + len(survived)
    score = caught / judged if judged else 0.0
    print(f"\nseed {args.seed}, {len(results)} faults, {judged} built: {caught} caught, "
          f"{len(survived)} survived; score {score:.1%} "
          f"({time.monotonic() - started:.0f} s)")
    for r in survived:
        print(f"  survived: {r['file']}:{r['line']} {r['kind']}: {r['after'].strip()}")
    if args.json:
        Path(args.json).write_text(json.dumps(
            {"seed": args.seed, "count": args.count, "score": score, "results": results},
            indent=1) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
