#!/usr/bin/env python3
"""Runs every example of the documentation through the command-line host.

An example is a fenced code block holding one or more commands, each on a
line that starts with "$ oru-special", followed by the exact lines the
program prints. The examples of README.md, docs/host-integration.md and
docs/functions/*.md are run, and every line of output must match. Besides,
every function page must carry at least one example, and every relative
link or image of the pages must name a file that exists.

    check_docs.py --program PATH/TO/oru-special --root SOURCE_DIR

Standard library only.
"""

import argparse
import glob
import os
import re
import shlex
import subprocess
import sys

PROMPT = "$ oru-special"
# A link or image; its text may hold balanced brackets ("on [-1, 1]").
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(([^)\s]+)\)")


def fenced_blocks(text):
    """The bodies of the fenced code blocks of a Markdown text, with the line
    number of each block's first line."""
    blocks, body, start, fence = [], None, 0, None
    for number, line in enumerate(text.splitlines(), 1):
        stripped = line.strip()
        if body is None:
            if stripped.startswith("```"):
                body, start, fence = [], number + 1, stripped[:3]
        elif stripped.startswith(fence):
            blocks.append((start, body))
            body = None
        else:
            body.append(line)
    return blocks


def examples(text):
    """(line number, command, expected output lines) of every example."""
    found = []
    for start, body in fenced_blocks(text):
        current = None
        for offset, line in enumerate(body):
            if line.startswith(PROMPT):
                current = (start + offset, line[2:], [])
                found.append(current)
            elif current is not None:
                current[2].append(line)
    return found


def run_example(program, command):
    words = shlex.split(command)
    words[0] = program
    done = subprocess.run(words, capture_output=True, text=True, timeout=60)
    return done.stdout.splitlines()


def check_links(path, text):
    problems = []
    base = os.path.dirname(path)
    for target in LINK.findall(text):
        if re.match(r"^[a-z]+:", target) or target.startswith("#"):
            continue
        file_part = target.split("#", 1)[0]
        if file_part and not os.path.exists(os.path.join(base, file_part)):
            problems.append(f"{path}: link to missing file {target}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--root", required=True)
    args = parser.parse_args()

    pages = sorted(glob.glob(os.path.join(args.root, "docs", "functions", "*.md")))
    files = [os.path.join(args.root, "README.md"),
             os.path.join(args.root, "docs", "host-integration.md")] + pages
    failures, passed = [], 0
    for path in files:
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8") as f:
            text = f.read()
        failures += check_links(path, text)
        found = examples(text)
        if path in pages and not path.endswith("README.md") and not found:
            failures.append(f"{path}: no example")
        for line, command, expected in found:
            actual = run_example(args.program, command)
            if actual == expected:
                passed += 1
                continue
            failures.append(f"{path}:{line}: {command}\n  page says:\n    "
                            + "\n    ".join(expected) + "\n  program prints:\n    "
                            + "\n    ".join(actual))
    for failure in failures:
        print(failure)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
