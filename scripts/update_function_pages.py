#!/usr/bin/env python3
"""Refreshes the generated parts of the documentation.

    python3 scripts/update_function_pages.py           rewrite the generated parts
    python3 scripts/update_function_pages.py --check   only check the guide's samples

Three kinds of generated text, each between marker lines that stay in place:

- docs/host-integration.md: after every line "<!-- sample: PATH -->" the fenced
  code block that follows is the file PATH (relative to the source tree),
  copied verbatim. --check exits with 1 when a block differs from its file;
  the tests run it that way.
- docs/functions/*.md: the lines between "<!-- accuracy:begin -->" and
  "<!-- accuracy:end -->" are the page's rows of the accuracy report
  docs/accuracy.md (the table written by scripts/update_accuracy_doc.sh).
- docs/functions/*.md: the lines between "<!-- speed:begin -->" and
  "<!-- speed:end -->" are the page's rows of the benchmark tables of
  docs/performance.md (written by scripts/run_benchmarks.sh).

Where a report is missing, or holds no row for a function, the section says
that the figure is not measured yet; no number is ever written that the
report does not hold. Run this after either report changes. Standard library
only.
"""

import argparse
import glob
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, "docs", "host-integration.md")
PAGES = os.path.join(ROOT, "docs", "functions")
ACCURACY = os.path.join(ROOT, "docs", "accuracy.md")
PERFORMANCE = os.path.join(ROOT, "docs", "performance.md")

SAMPLE = re.compile(r"^<!-- sample: (\S+) -->$")
FENCE_LANGUAGE = {".cpp": "cpp", ".hpp": "cpp", ".txt": "cmake", ".sh": "sh", ".py": "python"}

# The function names under which the reports list each page's function; a
# page not named here is listed under its own title (the file name's
# function).
REPORT_NAMES = {"gamma": ["Gamma(z)", "Gamma(a, x)"]}


# ---- Markdown helpers ---------------------------------------------------------

def table_rows(text, header_start, first_only=False):
    """The rows (lists of cells) of every Markdown table of text whose header
    line starts with header_start (of the first such table only, if asked),
    without the header and rule lines."""
    rows = []
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        if lines[i].startswith(header_start):
            i += 2
            while i < len(lines) and lines[i].startswith("|"):
                rows.append([c.strip() for c in lines[i].strip().strip("|").split("|")])
                i += 1
            if first_only:
                break
        else:
            i += 1
    return rows


def same_function(a, b):
    return a.replace(" ", "") == b.replace(" ", "")


def replace_between(text, begin, end, body):
    """text with the lines between the marker lines begin and end replaced by
    body; None when the page lacks the markers."""
    lines = text.split("\n")
    try:
        first = lines.index(begin)
        last = lines.index(end, first + 1)
    except ValueError:
        return None
    return "\n".join(lines[:first + 1] + body + lines[last:])


# ---- samples of the integration guide ----------------------------------------

def with_samples(text):
    """The guide with every sample block made equal to its file, and the
    list of samples that differed."""
    lines = text.split("\n")
    out, stale, i = [], [], 0
    while i < len(lines):
        out.append(lines[i])
        match = SAMPLE.match(lines[i])
        i += 1
        if not match:
            continue
        path = match.group(1)
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            sample = f.read().rstrip("\n").split("\n")
        language = FENCE_LANGUAGE.get(os.path.splitext(path)[1], "")
        block = ["```" + language] + sample + ["```"]
        old = []
        if i < len(lines) and lines[i].startswith("```"):
            end = i + 1
            while end < len(lines) and not lines[end].startswith("```"):
                end += 1
            old = lines[i:end + 1]
            i = end + 1
        if old != block:
            stale.append(path)
        out += block
    return "\n".join(out), stale


# ---- accuracy and speed sections -----------------------------------------------

def page_names(page):
    stem = os.path.splitext(os.path.basename(page))[0]
    with open(page, encoding="utf-8") as f:
        title = f.readline().lstrip("# ").split()[0]
    return REPORT_NAMES.get(stem, [title])


def accuracy_section(names, report):
    if report is None:
        return ["Not measured yet: the accuracy report `docs/accuracy.md` is not there."]
    header = "| Function | Region | Points |"
    rows = [r for r in table_rows(report, header)
            if len(r) >= 8 and any(same_function(r[0], n) for n in names)]
    if not rows:
        return ["Not measured yet: the accuracy report `docs/accuracy.md` has no row for "
                + " or ".join(f"`{n}`" for n in names) + "."]
    out = ["Measured against high-precision reference values by the accuracy report "
           "([accuracy.md](../accuracy.md)), in units of 2^-52 ≈ 2.2e-16. *Relative* is "
           "|computed − reference| / |reference|; *scaled* divides by the size of the terms the "
           "method combines instead, when that is larger, which shows what cancellation costs. "
           "Points where the function raised an error are counted apart and not measured.",
           "",
           "| Function | Region | Points | Max relative | Median relative | Max scaled | "
           "Median scaled | Worst input (relative) |",
           "|---|---|---:|---:|---:|---:|---:|---|"]
    for r in rows:
        cells = list(r[:8])
        if not cells[3]:
            cells[3] = "not measured (every point raised)"
        out.append("| " + " | ".join(cells) + " |")
    return out


def speed_section(names, report):
    if report is None:
        return ["Not measured yet: the benchmark table `docs/performance.md` is not there."]
    kernel = [r for r in table_rows(report, "| Function | Regime | ours")
              if len(r) >= 3 and any(same_function(r[0], n) for n in names)]
    # The first engine table is the one with the allocator's default behaviour.
    engine = [r for r in table_rows(report, "| Function | Vector | entry point", first_only=True)
              if len(r) >= 3 and any(same_function(r[0], n) for n in names)]
    if not kernel and not engine:
        return ["Not measured yet: the benchmark table `docs/performance.md` has no row for "
                + " or ".join(f"`{n}`" for n in names) + "."]
    out = ["From the benchmark run of [performance.md](../performance.md) (machine and settings "
           "there)."]
    if kernel:
        out += ["", "Time per evaluation, by region of the inputs:", "",
                "| Function | Inputs | Time per call |", "|---|---|---:|"]
        out += [f"| {r[0]} | {r[1]} | {r[2]} |" for r in kernel]
    if engine:
        out += ["", "Through the entry point on a vector of 100 000 elements, per element:", "",
                "| Function | Vector | Time per element |", "|---|---|---:|"]
        out += [f"| {r[0]} | {r[1]} | {r[2]} |" for r in engine]
    return out


def read_or_none(path):
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return f.read()


def refresh_page(page, accuracy, performance):
    with open(page, encoding="utf-8") as f:
        text = f.read()
    names = page_names(page)
    for kind, body in (("accuracy", accuracy_section(names, accuracy)),
                       ("speed", speed_section(names, performance))):
        updated = replace_between(text, f"<!-- {kind}:begin -->", f"<!-- {kind}:end -->", body)
        if updated is None:
            print(f"{page}: no {kind} markers", file=sys.stderr)
            continue
        text = updated
    return text


def write_if_changed(path, text):
    with open(path, encoding="utf-8") as f:
        if f.read() == text:
            return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    print(f"updated {os.path.relpath(path, ROOT)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true",
                        help="only check that the guide shows its samples verbatim")
    args = parser.parse_args()

    with open(GUIDE, encoding="utf-8") as f:
        guide, stale = with_samples(f.read())
    if args.check:
        for path in stale:
            print(f"docs/host-integration.md does not show {path} verbatim; "
                  "run scripts/update_function_pages.py")
        print(f"{0 if stale else 1} passed, {1 if stale else 0} failed")
        return 1 if stale else 0
    write_if_changed(GUIDE, guide)

    accuracy = read_or_none(ACCURACY)
    performance = read_or_none(PERFORMANCE)
    for page in sorted(glob.glob(os.path.join(PAGES, "*.md"))):
        if os.path.basename(page) == "README.md":
            continue
        write_if_changed(page, refresh_page(page, accuracy, performance))
    return 0


if __name__ == "__main__":
    sys.exit(main())
