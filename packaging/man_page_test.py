#!/usr/bin/env python3
"""The manual page says what the command's help says: every command's --help
(pelmar import --help above all) appears in the page as man shows it, line
for line, and so do the version and the overview of `pelmar --help`.

    man_page_test.py PELMAR PAGE
"""
import os
import subprocess
import sys


def lines(text):
    return [line.strip() for line in text.splitlines() if line.strip()]


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="200")).stdout


def contains(page, block):
    """True when block's lines follow one another somewhere in page."""
    return any(page[i:i + len(block)] == block for i in range(len(page) - len(block) + 1))


def main(pelmar, page_file):
    # Neither hyphenated nor justified, so that each help line stays whole.
    page = lines(run("man", "--nh", "--nj", "-l", page_file))
    failures = []
    for command in (["import"], ["export"], ["db", "init"], ["db", "show"], ["gui"], ["typelib"]):
        name = " ".join(["pelmar", *command])
        help_lines = lines(run(pelmar, *command, "--help"))
        if not help_lines or not contains(page, help_lines):
            missing = next((line for line in help_lines if line not in page), "(the order differs)")
            failures.append(f"{name} --help is not in the page as it is printed; first missing line: {missing!r}")
    version = run(pelmar, "--version").splitlines()[0].split()[-1]
    if not any(version in line for line in page[-3:]):
        failures.append(f"the page is not of version {version}: it ends {page[-3:]}")
    overview = lines(run(pelmar, "--help"))
    absent = [line for line in overview if not any(line.split()[-1] in p for p in page)]
    if absent:
        failures.append(f"pelmar --help lines missing from the page: {absent}")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
