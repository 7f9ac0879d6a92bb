#!/usr/bin/env python3
"""Runs every example of the documentation through the command-line host.

An example is a fenced code block holding one or more commands, each on a
line that starts with "$ oru-special", followed by the exact lines the
program prints. A session at the prompt is a block of lines starting with
"oru> ", each followed by what the statement prints; its statements are
run in one session (a line ending in "^C" was abandoned, and is not run).
A plotting example is a "sh" block whose first line starts with
"oru-special": it runs with bash in an empty folder, and must succeed,
leave every CSV file it writes a table of numbers under one header line,
and every other file not empty; gnuplot is optional, and where it is not
installed its commands are skipped. The examples of README.md,
docs/host-integration.md and docs/functions/*.md are run, and every line
of output must match. Besides, every function page must carry at least one
example, and every relative link or image of the pages must name a file
that exists.

    check_docs.py --program PATH/TO/oru-special --root SOURCE_DIR

Standard library only.
"""

import argparse
import csv
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

PROMPT = "$ oru-special"
SESSION = "oru> "
# A link or image; its text may hold balanced brackets ("on [-1, 1]").
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(([^)\s]+)\)")


def fenced_blocks(text, language=None):
    """The bodies of the fenced code blocks of a Markdown text (of the given
    language only, if one is given), with the line number of each block's
    first line."""
    blocks, body, start, fence, tag = [], None, 0, None, None
    for number, line in enumerate(text.splitlines(), 1):
        stripped = line.strip()
        if body is None:
            if stripped.startswith("```"):
                body, start, fence, tag = [], number + 1, stripped[:3], stripped[3:]
        elif stripped.startswith(fence):
            if language is None or tag == language:
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


def sessions(text):
    """(line number, statements, expected output lines) of every session at
    the prompt."""
    found = []
    for start, body in fenced_blocks(text):
        if not any(line.startswith(SESSION) for line in body):
            continue
        statements, expected = [], []
        for line in body:
            if line.startswith(SESSION):
                if not line.endswith("^C"):
                    statements.append(line[len(SESSION):])
            else:
                expected.append(line)
        found.append((start, statements, expected))
    return found


def run_session(program, statements):
    done = subprocess.run([program], input="\n".join(statements) + "\n", capture_output=True, text=True,
                          timeout=60)
    return done.stdout.splitlines()


def check_table(path):
    """Problems of a CSV file: it must be a header line over rows of numbers,
    every row as long as the header."""
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    if len(rows) < 2:
        return [f"{path}: no rows under the header"]
    problems = []
    for number, row in enumerate(rows[1:], 2):
        if len(row) != len(rows[0]):
            problems.append(f"{path}:{number}: {len(row)} fields under {len(rows[0])} column heads")
        for value in row:
            try:
                float(value)
            except ValueError:
                problems.append(f"{path}:{number}: '{value}' is not a number")
    return problems[:5]


def run_plotting_example(program, lines):
    """Problems of a plotting example, run as a bash script in an empty
    folder with the program first on the PATH."""
    script = "\n".join(lines) + "\n"
    if shutil.which("gnuplot") is None:
        script = "gnuplot() { cat > /dev/null; }\n" + script
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, PATH=os.path.dirname(os.path.abspath(program)) + os.pathsep + os.environ["PATH"])
        done = subprocess.run(["bash", "-e", "-c", script], cwd=folder, env=env, capture_output=True,
                              text=True, timeout=120)
        if done.returncode != 0:
            return [f"exits with {done.returncode}: {done.stderr.strip()}"]
        problems = []
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if name.endswith(".csv"):
                problems += [p.replace(folder + os.sep, "") for p in check_table(path)]
            elif os.path.getsize(path) == 0:
                problems.append(f"{name} is empty")
        return problems


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
        found += [(line, "\n".join(SESSION + s for s in statements), expected,
                   run_session(args.program, statements))
                  for line, statements, expected in sessions(text)]
        for line, command, expected, *ran in found:
            actual = ran[0] if ran else run_example(args.program, command)
            if actual == expected:
                passed += 1
                continue
            failures.append(f"{path}:{line}: {command}\n  page says:\n    "
                            + "\n    ".join(expected) + "\n  program prints:\n    "
                            + "\n    ".join(actual))
        for line, body in fenced_blocks(text, "sh"):
            if not body or not body[0].startswith("oru-special "):
                continue
            problems = run_plotting_example(args.program, body)
            passed += not problems
            failures += [f"{path}:{line}: plotting example: {p}" for p in problems]
    for failure in failures:
        print(failure)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
