#!/usr/bin/env python3
"""Accuracy sweep: every function of the library over broad seeded domains.

    python3 scripts/accuracy_sweep.py [--only Mhyper,Fhyper] [--worst N] [--doc] [--json]
                                      [--cli PATH]
    python3 scripts/accuracy_sweep.py --regenerate [--only F] [--fresh]

The points of each function are drawn by the slices of scripts/sweep_domains.py.
Their reference values and condition numbers come from mpmath (see
scripts/sweep_reference.py) and are cached in data/sweep/<function>.txt, so a
normal run needs no mpmath: it writes every point as one statement to a file,
evaluates the file with the command-line host in one process per function
(`oru-special --json -f FILE`), and classes every result:

    good      relative error <= 64 (1 + kappa) 2^-52, or within 4 subnormals
              absolutely (also 0 for a value below the double range, and an
              infinity of the right sign for one beyond it)
    degraded  relative error <= 1e-8
    wrong     worse; NaN or an infinity where the value is finite; a finite
              number where the value is beyond the double range or undefined
    refused   any other error: one for a value that is a double (0 by rounding
              included), or one whose message does not say what happened
              ("not converging" for a value beyond the double range)
    expected  an error at a pole or undefined point, or outside the function's
              documented domain; "overflow" for a value beyond the double
              range, "underflow" for one below it

--regenerate recomputes the references of the functions named by --only (all by
default); a point whose inputs are already in the cache keeps its cached values
unless --fresh is given. --doc writes the summary and the worst cases into
docs/accuracy.md between its two sweep marker lines.
"""

import argparse
import json
import math
import os
import random
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from decimal import Decimal, localcontext
from typing import Callable, Optional, Tuple

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sweep_domains import DOMAINS  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CACHE_DIR = os.path.join(ROOT, "data", "sweep")
DOC = os.path.join(ROOT, "docs", "accuracy.md")
DOC_BEGIN = "<!-- accuracy-sweep:begin -->"
DOC_END = "<!-- accuracy-sweep:end -->"
DOC_WORST = 3
CLI_CANDIDATES = ("build/test/cli/oru-special", "build/default/cli/oru-special")

SEED = "oru-special-sweep-1"
DIGITS = 40
CHECK_DIGITS = 80
CHECK_EVERY = 5
WRITTEN_DIGITS = 25
AGREEMENT = 1e-30
POINT_SECONDS = 120

EPS = 2.0**-52
DEGRADED = 1e-8
SUBNORMAL = Decimal(2) ** -1074
ABSOLUTE_ALLOWANCE = 4 * SUBNORMAL
ROUNDS_TO_ZERO = SUBNORMAL / 2
ROUNDS_TO_INFINITY = Decimal(2**1024 - 2**970)

CLASSES = ("good", "degraded", "wrong", "refused", "expected")
SEVERITY = {"wrong": 0, "refused": 1, "degraded": 2, "good": 3, "expected": 4}


# ------------------------------------------------------------------ functions


def typed_number(v):
    """v as a person types it: integers without a fraction, others as the shortest round trip."""
    if v == int(v) and abs(v) < 1e16 and not (v == 0 and math.copysign(1, v) < 0):
        return str(int(v))
    return repr(v)


def scalar_call(name):
    return lambda p: f"{name}({', '.join(typed_number(v) for v in p)})"


def complex_call(name):
    """A complex argument typed as complex(x, y), a real one as x."""
    t = typed_number
    return lambda p: f"{name}({t(p[0]) if p[1] == 0 else f'complex({t(p[0])}, {t(p[1])})'})"


def no_exclusion(_point):
    return None


def fhyper_outside(p):
    return "x outside (-1, 1)" if not -1 < p[3] < 1 else None


def gamma_pole_band(p):
    """A real argument within 1e-10 of a pole is refused as the pole (documented, intended)."""
    x, y = p
    if y != 0 or not (x == 0 or x <= -1):
        return None
    return "within 1e-10 of a pole" if abs(x - round(x)) <= 1e-10 and round(x) <= 0 else None


def gamma_upper_outside(p):
    return "a <= 0 or x < 0" if p[0] <= 0 or p[1] < 0 else None


def ibeta_outside(p):
    x, a, b = p
    return "x outside [0, 1], or a or b not positive" if not (0 <= x <= 1 and a > 0 and b > 0) else None


def jacobi_outside(p):
    return "alpha or beta <= -1" if p[1] <= -1 or p[2] <= -1 else None


@dataclass(frozen=True)
class Function:
    name: str
    label: str
    arguments: Tuple[str, ...]
    call: Callable[[tuple], str]
    outside: Callable[[tuple], Optional[str]] = no_exclusion
    complex_result: bool = False

    @property
    def cache(self):
        return os.path.join(CACHE_DIR, self.name.lower() + ".txt")


FUNCTIONS = [
    Function("Ber", "Ber", ("n", "x"), scalar_call("Ber")),
    Function("Bei", "Bei", ("n", "x"), scalar_call("Bei")),
    Function("Fhyper", "Fhyper", ("a", "b", "c", "x"), scalar_call("Fhyper"), fhyper_outside),
    Function("Mhyper", "Mhyper", ("a", "b", "x"), scalar_call("Mhyper")),
    Function("Ibeta", "Ibeta", ("x", "a", "b"), scalar_call("Ibeta"), ibeta_outside),
    Function("Igamma", "Igamma", ("a", "x"), scalar_call("Igamma")),
    Function("Gamma", "Gamma(z)", ("x", "y"), complex_call("Gamma"), gamma_pole_band, complex_result=True),
    Function("Gamma2", "Gamma(a, x)", ("a", "x"), scalar_call("Gamma"), gamma_upper_outside),
    Function("LnGamma", "LnGamma", ("x", "y"), complex_call("LnGamma"), complex_result=True),
    Function("Jac", "Jac", ("n", "alpha", "beta", "x"), scalar_call("Jac"), jacobi_outside),
    Function("Her", "Her", ("n", "x"), scalar_call("Her")),
    Function("Lag", "Lag", ("n", "x"), scalar_call("Lag")),
    Function("Leg", "Leg", ("n", "x"), scalar_call("Leg")),
    Function("Tcheb", "Tcheb", ("n", "x"), scalar_call("Tcheb")),
    Function("Ucheb", "Ucheb", ("n", "x"), scalar_call("Ucheb")),
]
BY_NAME = {f.name.lower(): f for f in FUNCTIONS}


# ---------------------------------------------------------------- cache files


@dataclass
class Row:
    slice: str
    point: Tuple[float, ...]
    truth: Optional[Tuple[Decimal, ...]]  # None: undefined
    kappa: float
    check: str


def parse_row(fields, function):
    width = len(function.arguments)
    parts = 2 if function.complex_result else 1
    point = tuple(float(v) for v in fields[1:1 + width])
    values = fields[1 + width:1 + width + parts]
    truth = None if values[0] == "undefined" else tuple(Decimal(v) for v in values)
    kappa, check = float(fields[1 + width + parts]), fields[2 + width + parts]
    return Row(fields[0], point, truth, kappa, check)


def read_cache(function):
    if not os.path.exists(function.cache):
        return []
    with open(function.cache, encoding="ascii") as lines:
        return [parse_row(line.split(), function) for line in lines if not line.startswith("#")]


def format_row(row, function):
    parts = 2 if function.complex_result else 1
    values = ["undefined"] * parts if row.truth is None else [str(v) for v in row.truth[:parts]]
    fields = [row.slice] + [repr(v) for v in row.point] + values + [f"{row.kappa:.3g}", row.check]
    return " ".join(fields)


def header(function, mpmath_version):
    value = "re im" if function.complex_result else "value"
    return (f"# {function.label}: accuracy-sweep references, written by scripts/accuracy_sweep.py "
            f"--regenerate with mpmath {mpmath_version}.\n"
            f"# Values at {DIGITS} significant digits (written to {WRITTEN_DIGITS}); every "
            f"{CHECK_EVERY}th point recomputed at {CHECK_DIGITS} digits (check: ok, or 'differs' with "
            f"the {CHECK_DIGITS}-digit value written; '-' not rechecked). kappa = sum |v df/dv / f| over "
            f"the continuous arguments.\n"
            f"# columns: slice {' '.join(function.arguments)} {value} kappa check\n")


def write_cache(function, rows, mpmath_version):
    os.makedirs(CACHE_DIR, exist_ok=True)
    with open(function.cache, "w", encoding="ascii") as out:
        out.write(header(function, mpmath_version))
        for row in rows:
            out.write(format_row(row, function) + "\n")


# ---------------------------------------------------------------- regenerate


def draw_points(function):
    """(slice name, point) for every slice of the function, duplicates dropped."""
    seen = set()
    for piece in DOMAINS[function.name]:
        r = random.Random(f"{SEED}/{function.name}/{piece.name}")
        for _ in range(piece.count):
            point = piece.draw(r)
            if point not in seen:
                seen.add(point)
                yield piece.name, point


class PointTimeout(Exception):
    pass


def with_time_limit(seconds, work):
    def expire(_signum, _frame):
        raise PointTimeout()

    previous = signal.signal(signal.SIGALRM, expire)
    signal.alarm(seconds)
    try:
        return work()
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGALRM, previous)


# mpmath is imported only where references are computed: a normal run does without it.


def decimal_parts(value, function):
    import mpmath

    parts = (value.real, value.imag) if function.complex_result else (value.real,)
    return tuple(Decimal(mpmath.nstr(v, WRITTEN_DIGITS, strip_zeros=False, min_fixed=1, max_fixed=0))
                 if v != 0 else Decimal(0) for v in parts)


def agrees(u, v):
    """The DIGITS value agrees with the CHECK_DIGITS one to AGREEMENT, relatively."""
    return abs(u - v) <= AGREEMENT * abs(v)


def reference_row(function, piece, point, index):
    """The row of one point: its value at DIGITS (CHECK_DIGITS for the checked ones) and kappa."""
    from mpmath import mp
    import sweep_reference as ref

    reference = ref.REFERENCES[function.name]
    check = "-"
    try:
        with mp.workdps(DIGITS):
            value = ref.evaluate(reference, point)
            kappa = float(min(ref.condition(reference, point, value), 1e300))
        if index % CHECK_EVERY == 0:
            with mp.workdps(CHECK_DIGITS):
                better = ref.evaluate(reference, point)
            check = "ok" if agrees(value.real, better.real) and agrees(value.imag, better.imag) else "differs"
            value = better
    except ref.Undefined:
        return Row(piece, point, None, 0.0, check)
    return Row(piece, point, decimal_parts(value, function), kappa, check)


def regenerate(function, fresh):
    import mpmath

    cached = {} if fresh else {row.point: row for row in read_cache(function)}
    rows, started, dropped = [], time.time(), 0
    for index, (piece, point) in enumerate(draw_points(function)):
        row = cached.get(point)
        if row is None:
            try:
                row = with_time_limit(POINT_SECONDS, lambda: reference_row(function, piece, point, index))
            except (PointTimeout, mpmath.libmp.NoConvergence) as failure:
                dropped += 1
                print(f"  {function.call(point)}: no reference ({type(failure).__name__}), left out")
                continue
        row.slice = piece
        if index % 500 == 499:
            print(f"  {function.label}: {index + 1} points, {time.time() - started:.0f} s", flush=True)
        if row.check == "differs":
            print(f"  {function.call(point)}: {DIGITS} and {CHECK_DIGITS} digits disagree")
        rows.append(row)
    write_cache(function, rows, mpmath.__version__)
    print(f"{function.label}: {len(rows)} points, {dropped} left out, {time.time() - started:.0f} s")


# ----------------------------------------------------------------- evaluation


def find_cli(path):
    candidates = [path] if path else [os.path.join(ROOT, c) for c in CLI_CANDIDATES]
    for candidate in candidates:
        if os.path.isfile(candidate) and os.access(candidate, os.X_OK):
            return candidate
    sys.exit(f"accuracy_sweep.py: no command-line host at {', '.join(candidates)}; build it or give --cli")


def run_cli(cli, statements):
    """The host's answer to every statement: (re, im) or the error message."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as script:
        script.write("\n".join(statements) + "\n")
    try:
        done = subprocess.run([cli, "--json", "-f", script.name], capture_output=True, text=True)
    finally:
        os.unlink(script.name)
    answers = [json.loads(line) for line in done.stdout.splitlines() if line.strip()]
    if len(answers) != len(statements):
        sys.exit(f"accuracy_sweep.py: {len(statements)} statements, {len(answers)} answers\n{done.stderr}")
    return [(float(a["re"]), float(a["im"])) if a["kind"] == "scalar" else a.get("message", a["kind"])
            for a in answers]


# ------------------------------------------------------------------- classes


@dataclass
class Result:
    call: str
    slice: str
    returned: object  # (re, im) or an error message
    truth: Optional[Tuple[Decimal, ...]]
    kappa: float
    kind: str
    relative: Optional[float]
    note: str = ""

    @property
    def tolerance(self):
        return 64 * (1 + self.kappa) * EPS


def decimal_abs(parts):
    if len(parts) == 1:
        return abs(parts[0])
    return (parts[0] * parts[0] + parts[1] * parts[1]).sqrt()


def relative_error(got, truth):
    """Complex relative error |got - truth| / |truth| (inf for a non-zero got at a zero truth)."""
    with localcontext() as ctx:
        ctx.prec = 34
        diff = decimal_abs(tuple(Decimal(g) - t for g, t in zip(got, truth)))
        size = decimal_abs(truth)
        if diff <= ABSOLUTE_ALLOWANCE:
            return 0.0
        return float(diff / size) if size else math.inf


def beyond_range(truth):
    return any(abs(t) >= ROUNDS_TO_INFINITY for t in truth)


def below_range(truth):
    return decimal_abs(truth) < ROUNDS_TO_ZERO


def class_of_error(message, truth, outside):
    """An error is expected where the function is undefined or the point outside its documented
    domain, and where it says what happened to a value beyond ("overflow") or below ("underflow")
    the double range; any other error is a refusal."""
    if truth is None:
        return "expected", "undefined"
    if outside:
        return "expected", outside
    if beyond_range(truth):
        return ("expected", "beyond the double range") if message == "overflow" else \
            ("refused", "beyond the double range")
    if below_range(truth) and message == "underflow":
        return "expected", "below the double range"
    return "refused", "below the double range" if below_range(truth) else ""


def overflow_matches(got, truth):
    """Every part beyond the range came back as the infinity of its sign."""
    return all(g == math.copysign(math.inf, t) for g, t in zip(got, truth) if abs(t) >= ROUNDS_TO_INFINITY)


def class_of_value(got, truth, kappa):
    """(class, relative error, note) of a returned value."""
    if truth is None:
        return "wrong", None, "value at an undefined point"
    if beyond_range(truth):
        return ("good", None, "infinity") if overflow_matches(got, truth) else \
            ("wrong", None, "value beyond the double range")
    if not all(math.isfinite(g) for g in got):
        return "wrong", math.inf, "not finite"
    rel = relative_error(got, truth)
    if rel <= 64 * (1 + kappa) * EPS:
        return "good", rel, ""
    return ("degraded" if rel <= DEGRADED else "wrong"), rel, ""


def classify(function, row, returned):
    call = function.call(row.point)
    outside = function.outside(row.point)
    if isinstance(returned, str):
        kind, note = class_of_error(returned, row.truth, outside)
        return Result(call, row.slice, returned, row.truth, row.kappa, kind, None, note)
    got = returned if function.complex_result else returned[:1]
    kind, rel, note = class_of_value(got, row.truth, row.kappa)
    return Result(call, row.slice, returned, row.truth, row.kappa, kind, rel, note)


def sweep(function, cli):
    rows = read_cache(function)
    if not rows:
        return None
    answers = run_cli(cli, [function.call(row.point) for row in rows])
    return [classify(function, row, answer) for row, answer in zip(rows, answers)]


# ------------------------------------------------------------------- reports


def counts(results):
    tally = {kind: 0 for kind in CLASSES}
    for r in results:
        tally[r.kind] += 1
    return tally


def badness(result):
    ratio = result.relative / result.tolerance if result.relative is not None else math.inf
    return (SEVERITY[result.kind], -ratio)


def worst(results, n):
    return sorted((r for r in results if r.kind != "expected"), key=badness)[:n]


def show_returned(result, complex_result):
    if isinstance(result.returned, str):
        return f'"{result.returned}"'
    re, im = result.returned
    return f"{re!r} {'-' if math.copysign(1, im) < 0 else '+'} {abs(im)!r}i" if complex_result else repr(re)


def show_decimal(t):
    """A true value as its nearest double would print, or in exponent form beyond the range."""
    if ROUNDS_TO_ZERO <= abs(t) < ROUNDS_TO_INFINITY:
        return repr(float(t))
    return "0.0" if t == 0 else format(t, ".16e")


def show_truth(result, complex_result):
    if result.truth is None:
        return "undefined"
    parts = [show_decimal(t) for t in result.truth]
    return f"{parts[0]} {'+' if result.truth[1] >= 0 else '-'} {parts[1].lstrip('-')}i" \
        if complex_result else parts[0]


def show_relative(result):
    return "-" if result.relative is None else f"{result.relative:.2g}"


def cell(results, kind):
    """The count of a class, with how many of them are values beyond the double range."""
    members = [r for r in results if r.kind == kind]
    beyond = sum(1 for r in members if r.note != "infinity" and r.truth is not None and beyond_range(r.truth))
    return f"{len(members)} ({beyond} beyond the range)" if beyond and kind in ("wrong", "refused") else \
        str(len(members))


def summary_line(function, results):
    text = ", ".join(f"{cell(results, k)} {k}" for k in CLASSES)
    return f"{function.label}: {len(results)} points: {text}"


def print_report(function, results, n):
    print(f"\n{function.label} ({len(results)} points)")
    print("  " + "  ".join(f"{k} {cell(results, k)}" for k in CLASSES))
    for r in worst(results, n):
        print(f"  {r.kind:8} {r.call}  returned {show_returned(r, function.complex_result)}  "
              f"value {show_truth(r, function.complex_result)}  rel {show_relative(r)}  "
              f"kappa {r.kappa:.3g}  [{r.slice}]")


def doc_table(swept, n):
    lines = ["| Function | Points | good | degraded | wrong | refused | expected error |",
             "|---|---:|---:|---:|---:|---:|---:|"]
    for function, results in swept:
        cells = " | ".join(cell(results, k) for k in CLASSES)
        lines.append(f"| {function.label} | {len(results)} | {cells} |")
    lines += ["", f"Worst results per function (at most {n}; wrong first, then refused, then degraded, "
              "then the good ones nearest their bound):", "",
              "| Call | Returned | Value | Relative error | κ | Class |", "|---|---|---|---:|---:|---|"]
    for function, results in swept:
        for r in worst(results, n):
            lines.append(f"| `{r.call}` | {show_returned(r, function.complex_result)} | "
                         f"{show_truth(r, function.complex_result)} | {show_relative(r)} | {r.kappa:.2g} | "
                         f"{r.kind} |")
    return lines


def write_doc(swept, n):
    with open(DOC, encoding="utf-8") as f:
        text = f.read()
    if DOC_BEGIN not in text or DOC_END not in text:
        sys.exit(f"accuracy_sweep.py: {DOC} lacks the marker lines {DOC_BEGIN} / {DOC_END}")
    head, rest = text.split(DOC_BEGIN, 1)
    _, tail = rest.split(DOC_END, 1)
    body = "\n".join(doc_table(swept, n))
    with open(DOC, "w", encoding="utf-8") as f:
        f.write(f"{head}{DOC_BEGIN}\n{body}\n{DOC_END}{tail}")
    print(f"updated {DOC}")


def json_number(v):
    """A number as strict JSON has it: infinities and NaN as the strings the host prints."""
    return v if v is None or math.isfinite(v) else repr(v)


def json_case(r, function):
    returned = r.returned if isinstance(r.returned, str) else [json_number(v) for v in r.returned]
    return {"call": r.call, "class": r.kind, "slice": r.slice, "returned": returned,
            "value": show_truth(r, function.complex_result), "relative": json_number(r.relative),
            "kappa": json_number(r.kappa), "note": r.note}


def json_report(swept, n):
    return {function.name: {"points": len(results), "counts": counts(results),
                            "worst": [json_case(r, function) for r in worst(results, n)]}
            for function, results in swept}


# ---------------------------------------------------------------------- main


def chosen_functions(only):
    if not only:
        return FUNCTIONS
    chosen = []
    for name in only.split(","):
        if name.strip().lower() not in BY_NAME:
            known = ", ".join(f.name for f in FUNCTIONS)
            sys.exit(f"accuracy_sweep.py: unknown function {name}; known: {known}")
        chosen.append(BY_NAME[name.strip().lower()])
    return chosen


def parse_arguments(argv):
    p = argparse.ArgumentParser(description="Accuracy sweep of the library against cached mpmath references.")
    p.add_argument("--only", help="comma-separated functions, e.g. Mhyper,Fhyper")
    p.add_argument("--worst", type=int, default=10, help="worst cases shown per function (default 10)")
    p.add_argument("--doc", action="store_true", help="write the tables into docs/accuracy.md")
    p.add_argument("--json", action="store_true", help="print the counts and worst cases as JSON")
    p.add_argument("--cli", help="the command-line host (default build/test/cli/oru-special, "
                                 "else build/default/cli/oru-special)")
    p.add_argument("--regenerate", action="store_true", help="recompute the cached references with mpmath")
    p.add_argument("--fresh", action="store_true", help="with --regenerate: recompute cached points too")
    return p.parse_args(argv)


def main(argv):
    args = parse_arguments(argv)
    functions = chosen_functions(args.only)
    if args.regenerate:
        for function in functions:
            regenerate(function, args.fresh)
        return 0
    cli = find_cli(args.cli)
    swept = [(f, r) for f in functions for r in [sweep(f, cli)] if r is not None]
    if args.json:
        print(json.dumps(json_report(swept, args.worst), indent=1))
    else:
        for function, results in swept:
            print_report(function, results, args.worst)
        print()
        for function, results in swept:
            print(summary_line(function, results))
    if args.doc:
        write_doc(swept, DOC_WORST)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
