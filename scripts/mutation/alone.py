#!/usr/bin/env python3
"""Which test is the only one to catch a fault? Read from reports of mutate.py --keep-going.

A report made with --keep-going names every test that failed under each mutant. From one or
more of them this script tells, for every test of tests/ (a TEST, TEST_F or TEST_P block):

  lines   its non-blank lines, the comment right above it included
  kills   how many of the reports' mutants it fails under
  alone   how many of them no other test fails under: the faults only it catches

and then which tests could all go at once with every mutant still killed by a test that is
left (taken greedily, the longest first), with their lines in all. Tests the reports never
name are in that set too: nothing on the lists needs them, which is not to say that nothing
does. A fault that crashes a test program hides the tests that would have run after the
crash, so a report can miss some killers; it never adds one.

Reports of the same list add up: a fault's killers are those any of them names, so a run
that leaves out a test that crashed under some faults (--ctest-args "-E NAME") completes
the first one.

  scripts/mutation/alone.py scripts/mutation/every-killer-*.txt      # the table and the set
  scripts/mutation/alone.py --only 'test_world:*' scripts/mutation/every-killer-*.txt
"""

import argparse
import fnmatch
import glob
import os
import re
import signal
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))
TEST_START = re.compile(r"\s*TEST(?:_F|_P)?\(\s*(\w+),\s*(\w+)\)")
# what a brace in a line can stand in without opening or closing a block: a string or
# character literal, or a comment
NOT_CODE = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'|//.*')


def test_blocks():
    """{"test_<dir>:Suite.Name": (file, first line, non-blank lines)} for every test."""
    blocks = {}
    for path in sorted(glob.glob(os.path.join(SOURCE_ROOT, "tests", "**", "*.cpp"), recursive=True)):
        rel = os.path.relpath(path, SOURCE_ROOT)
        program = "test_" + rel.split(os.sep)[1]
        with open(path) as f:
            lines = f.read().split("\n")
        i = 0
        while i < len(lines):
            head = lines[i] + (lines[i + 1].strip() if i + 1 < len(lines) else "")
            m = TEST_START.match(lines[i]) or (lines[i].lstrip().startswith("TEST") and
                                               TEST_START.match(head))
            if not m:
                i += 1
                continue
            first = i
            while first > 0 and lines[first - 1].strip().startswith("//"):
                first -= 1
            depth, j, opened = 0, i, False
            while j < len(lines):
                code = NOT_CODE.sub("", lines[j])
                depth += code.count("{") - code.count("}")
                opened = opened or "{" in code
                if opened and depth <= 0:
                    break
                j += 1
            j = min(j, len(lines) - 1)
            count = sum(1 for k in range(first, j + 1) if lines[k].strip())
            blocks[f"{program}:{m.group(1)}.{m.group(2)}"] = (rel, first + 1, count)
            i = j + 1
    return blocks


def test_name(program, name):
    """A GoogleTest name as the table keys it: instances of a parameterised test are one."""
    name = re.sub(r"^\w+/", "", name)
    name = re.sub(r"/\d+$", "", name)
    return f"{program}:{name}"


def read_report(path, kills):
    """Adds {list:mutant id: set of tests} from one report of mutate.py."""
    with open(path) as f:
        text = f.read()
    if "killers: every failing test" not in text:
        print(f"note: {path} does not say it comes from a --keep-going run: it names the first "
              "killer only", file=sys.stderr)
    listed = re.search(r"^list: (\S+?),", text, re.M)
    tag = os.path.basename(listed.group(1) if listed else path)
    for line in text.splitlines():
        m = re.match(r"  (killed|timeout|survived)\s+(\S+)\s*(.*?)\s+\(\d+ s\)$", line)
        if not m:
            continue
        status, ident, killers = m.groups()
        found = set()
        if status != "survived":
            for part in killers.split("; "):
                program, sep, rest = part.partition(": ")
                if not sep:  # a program without GoogleTest: the CTest name
                    found.add(part.split(" (")[0])
                    continue
                crash = re.match(r"(?:signal \d+|exit status \d+|timeout after \S+ s)(?: in (\S+))?$",
                                 rest)
                if crash:
                    found.add(test_name(program, crash.group(1)) if crash.group(1)
                              else f"{program}:?")
                    continue
                for name in rest.split(", "):
                    found.add(test_name(program, name))
        kills.setdefault(f"{tag}:{ident}", set()).update(found)


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quietly, into head or less
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("reports", nargs="+", help="reports of mutate.py --keep-going -o")
    ap.add_argument("--only", action="append", default=[],
                    help="show only tests matching this glob (test_<dir>:Suite.Name)")
    opts = ap.parse_args()

    kills = {}
    for path in opts.reports:
        read_report(path, kills)
    blocks = test_blocks()
    # a test named by a report but no longer in tests/ kills nothing now
    killed_before = {m for m, tests in kills.items() if tests}
    gone = sorted({t for tests in kills.values() for t in tests
                   if t.startswith("test_") and t not in blocks})
    for tests in kills.values():
        tests.difference_update(gone)
    by_test = {}
    for mutant, tests in kills.items():
        for t in tests:
            by_test.setdefault(t, set()).add(mutant)

    def shown(t):
        return not opts.only or any(fnmatch.fnmatch(t, g) for g in opts.only)

    killed = sum(1 for tests in kills.values() if tests)
    print(f"{len(kills)} mutants from {len(opts.reports)} reports, {killed} killed; "
          f"{len(blocks)} tests in tests/")
    print(f"{'lines':>5} {'kills':>5} {'alone':>5}  test (file:line)")
    for t in sorted(blocks, key=lambda t: (blocks[t][0], blocks[t][1])):
        if not shown(t):
            continue
        mine = by_test.get(t, set())
        alone = sum(1 for m in mine if kills[m] == {t})
        rel, first, count = blocks[t]
        print(f"{count:5} {len(mine):5} {alone:5}  {t} ({rel}:{first})")

    cover = {m: set(tests) for m, tests in kills.items() if tests}
    spare = []
    for t in sorted(blocks, key=lambda t: -blocks[t][2]):
        if all(len(cover[m]) > 1 for m in by_test.get(t, ())):
            spare.append(t)
            for m in by_test.get(t, ()):
                cover[m].discard(t)
    print(f"\nTests that could all go with every mutant still killed: {len(spare)}, "
          f"{sum(blocks[t][2] for t in spare)} lines")
    for t in spare:
        if shown(t):
            print(f"{blocks[t][2]:5}  {t} ({blocks[t][0]}:{blocks[t][1]})")
    if gone:
        print("\nnamed by the reports but gone from tests/: " + ", ".join(gone))
    lost = sorted(m for m in killed_before if not kills[m])
    if lost:
        print("killed by the reports' tests, but by none that is left: " + ", ".join(lost))


if __name__ == "__main__":
    main()
