#!/usr/bin/env python3
"""Turns one run of the benchmark program into docs/performance.md.

    python3 scripts/format_benchmarks.py RUN.json [--engine-kept-memory RUN2.json]
        [--load-before "1.0 0.9 0.8"] [--load-after "..."] [--min-time S]
        [--repetitions N] > docs/performance.md

RUN.json is the JSON output of build/bench/bench/oru_special_bench
(--benchmark_out_format=json); RUN2.json, optional, is a second pass of the
entry and loop benchmarks made in the same run with the C library's
allocator told to keep freed memory instead of returning it to the system.
scripts/run_benchmarks.sh makes both and calls this script. Standard library
only.
"""

import argparse
import datetime
import json
import math
import os
import platform
import sys

# The kernel whose time per call bounds the engine's cost per element.
CHEAPEST = ("Tcheb", "n = 5")
ENGINE_LIMIT = 0.05
GUARD_LIMIT = 0.10
PEERS = ("boost", "gsl")
# A 1-minute load average above this (other work on the machine's two
# cores) makes the run a loaded one.
LOADED = 1.3
# A ratio ours/peer above this counts as slower (below it, within the noise
# of a shared machine).
SLOWER = 1.15

# Why a kernel costs what it costs: the fixed work its algorithm prescribes.
# Shown next to every regime where a peer is faster.
COST_NOTES = {
    "Tcheb": "the argument checks, then n - 1 steps of the three-term recurrence, each a "
             "multiplication, a doubling and a subtraction that depend on the step before; no "
             "closed trigonometric form is used for any degree",
    "Ucheb": "as Tcheb: the checks and n - 1 dependent recurrence steps",
    "Her": "the checks and n - 1 dependent recurrence steps",
    "Lag": "the checks and n - 1 recurrence steps, each with a division by k (the recurrence is "
           "rearranged so that k is the only divisor)",
    "Leg": "the checks and n - 1 recurrence steps, each with a division by k (the rearranged "
           "recurrence)",
    "Jac": "the checks and n - 1 recurrence steps, each with a division and about ten "
           "multiplications in a fixed order",
    "Gamma(z)": "eleven logarithms for the upward shift by 11 (real ones for a real argument, "
                "complex ones otherwise), Stirling's series, the last logarithm and an exponential, "
                "and for Re z < 0.5 a sine and the reflection; a positive integer costs the "
                "integer test and a table look-up, so there the time is mostly the floating-point "
                "guard (see its section)",
    "LnGamma": "complex arguments: a shift of up to 16 complex multiplications with the winding "
               "count, and up to 15 Stirling terms, each tested against 2^-52; the reflection "
               "adds a complex sine and a second evaluation; real arguments go through the real "
               "log-gamma helper (a rational approximation after up to 11 recurrence steps)",
    "Gamma(a,x)": "the series or continued fraction runs until the relative change falls to "
                  "2^-52, plus a real log-gamma, a real gamma and the floating-point guard",
    "Igamma": "the series or continued fraction runs until the relative change falls to 2^-52 "
              "(no cap on the terms), plus a real log-gamma and an exponential",
    "Fhyper": "the series runs until a term no longer changes the sum (up to 1000 terms); Pfaff's "
              "transformation adds a complex power; the logarithmic case evaluates four digamma "
              "values in every pass of its series (up to 999 passes)",
    "Mhyper": "the power series is always summed first (up to 200 terms); where its error "
              "estimate is above 1e-6, both 2F0 series of the asymptotic expansion are summed as "
              "well, with their gamma-function prefactors",
    "Ibeta": "up to 100 passes of the continued fraction, two partial fractions each, and three "
             "real log-gammas",
    "Ber": "the power series, four terms a pass, until a whole pass changes the sum by less than "
           "2^-52, with the divisor in extended precision",
    "Bei": "as Ber",
}


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


COUNTERS = ("per_eval", "first_ns", "one_thread_ns", "bare_one_ns", "bare_all_ns", "threads", "entry_ns",
            "loop_ns", "engine_ns", "allocs_per_call")


def medians(runs):
    """Median of every counter of every benchmark, by name (from the median
    aggregate, or from the repetitions when only those were written); the
    coefficient of variation of the main counter; and the skipped ones."""
    values = {}
    spread = {}
    errors = {}
    samples = {}
    for b in runs["benchmarks"]:
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            errors[name] = b.get("error_message", "error")
            continue
        counters = {k: b[k] for k in COUNTERS if k in b}
        if not counters:
            continue
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                values[name] = counters
            elif b.get("aggregate_name") == "cv":
                spread[name] = counters.get("per_eval", counters.get("entry_ns"))
        else:
            samples.setdefault(name, []).append(counters)
    for name, runs_of_name in samples.items():
        if name not in values:
            values[name] = {k: sorted(r[k] for r in runs_of_name)[len(runs_of_name) // 2]
                            for k in runs_of_name[0]}
    return values, spread, errors


def per_eval_ns(values):
    """Time per evaluation in ns, by benchmark name."""
    return {name: c["per_eval"] * 1e9 for name, c in values.items() if "per_eval" in c}


def split(name):
    kind, _, rest = name.partition("/")
    function, _, regime = rest.partition("/")
    return kind, function, regime


def fmt_ns(v):
    if v is None:
        return "–"
    if v >= 1e6:
        return f"{v / 1e6:.2f} ms"
    if v >= 1e3:
        return f"{v / 1e3:.2f} µs"
    if v >= 100:
        return f"{v:.0f} ns"
    if v >= 10:
        return f"{v:.1f} ns"
    return f"{v:.2f} ns"


def fmt_ratio(ours, peer):
    if ours is None or peer is None or peer <= 0:
        return "–"
    r = ours / peer
    mark = " **slower**" if r > SLOWER else ""
    return f"{r:.2f}{mark}"


def machine_section(runs, args):
    ctx = runs.get("context", {})
    lines = ["## Machine and run", ""]
    cpu = ctx.get("cpu_model", "unknown")
    cores = ctx.get("num_cpus", os.cpu_count())
    mhz = ctx.get("mhz_per_cpu")
    lines.append(f"- CPU: {cpu}, {cores} cores" + (f" at {mhz} MHz" if mhz else "") + ".")
    caches = ctx.get("caches", [])
    if caches:
        described = ", ".join(
            f"L{c['level']} {c['type'].lower()} {c['size'] // 1024} KiB" for c in caches)
        lines.append(f"- Caches: {described}.")
    lines.append(f"- Compiler: {ctx.get('compiler', 'unknown')}; flags: `{ctx.get('flags', 'unknown')}`.")
    lines.append(f"- System: {platform.system()} {platform.release()}; "
                 f"peers: Boost.Math {ctx.get('boost', 'not found')}, GSL {ctx.get('gsl', 'not found')}.")
    lines.append(f"- Date: {ctx.get('date', datetime.datetime.utcnow().isoformat())}.")
    settings = []
    if args.min_time:
        settings.append(f"--benchmark_min_time={args.min_time}")
    if args.repetitions:
        settings.append(f"--benchmark_repetitions={args.repetitions}")
    if settings:
        lines.append(f"- Settings: {' '.join(settings)}; every time below is the median of the "
                     "repetitions, as CPU time of the benchmark thread.")
    # The benchmark itself keeps one core busy, which adds 1 to the load
    # average measured after the run.
    loaded = False
    for label, text, own in (("before", args.load_before, 0.0), ("after", args.load_after, 1.0)):
        if text:
            lines.append(f"- Load average {label} the run (1, 5, 15 minutes): {text}"
                         + (" (the benchmark's own thread counts 1 of it)." if own else "."))
            try:
                loaded = loaded or float(text.split()[0]) - own > LOADED
            except ValueError:
                pass
    if loaded:
        lines.append("- **The machine was loaded during the run** (other builds were running on "
                     "its cores): the times carry more noise than usual, and ratios near 1 should "
                     "not be read as differences.")
    if ctx.get("library_build_type") == "debug":
        lines.append("- Google Benchmark itself was built without optimisation (Debian's package); "
                     "this affects only the timing loop, which is the same for every benchmark.")
    lines.append("")
    return lines


def kernel_section(values, counters, spread, errors):
    lines = ["## Kernels, per evaluation, next to the peers", "",
             "Each regime is a pool of 512 fixed, seeded inputs inside one branch of the "
             "algorithm; the time is per kernel call (`Oru::tabulTcheb(res, a, b)` and so on, "
             "called directly). The peers get the same inputs and compute the same function in "
             "the same normalisation (Boost: default policy with every error set to "
             "`ignore_error`; GSL: error handler off). Boost's routines are templates compiled "
             "into the benchmark's own loop, where they can be inlined; ours and GSL's are calls "
             "into a library, as the engine makes them, which for evaluations of a few "
             "nanoseconds is a noticeable part of the time. A ratio above 1 means we are "
             f"slower; above {SLOWER} it is marked.", "",
             "The floor, where written (`bench/floors*.cpp`), is the kernel's fixed "
             "sequence of argument checks, floating-point operations and library calls written "
             "out alone in one function, on the same pool, without anything the kernel adds "
             "(early ends, overflow rescues, error estimates, the choice of a method). The floor "
             "and the kernel are timed in turn within every iteration of one benchmark (which "
             "of them goes first alternates from one iteration to the next), and "
             "ours/floor is the ratio of those two times; the kernel's own column is its "
             "separate benchmark.", "",
             "| Function | Regime | ours | floor | ours/floor | Boost | ours/Boost | GSL | ours/GSL |",
             "|---|---|---|---|---|---|---|---|---|"]
    slower = []
    rows = [n for n in values if n.startswith("kernel/")] + [n for n in errors if n.startswith("kernel/")]
    seen = set()
    for name in rows:
        if name in seen:
            continue
        seen.add(name)
        _, function, regime = split(name)
        ours = values.get(name)
        cells = [function, regime, fmt_ns(ours) if ours is not None else f"skipped ({errors.get(name)})"]
        floor = values.get(f"floor/{function}/{regime}")
        in_turn = counters.get(f"floor/{function}/{regime}", {}).get("first_ns")
        cells += [fmt_ns(floor), "–" if in_turn is None or floor is None else f"{in_turn / floor:.2f}"]
        for peer in PEERS:
            pv = values.get(f"{peer}/{function}/{regime}")
            cells += [fmt_ns(pv), fmt_ratio(ours, pv)]
            if ours is not None and pv is not None and ours / pv > SLOWER:
                slower.append((function, regime, peer, ours / pv))
        lines.append("| " + " | ".join(cells) + " |")
    lines.append("")
    lines.append("### Where we are slower, and why")
    lines.append("")
    if not slower:
        lines.append(f"Nowhere by more than a factor {SLOWER}.")
    else:
        by_function = {}
        for function, regime, peer, ratio in slower:
            by_function.setdefault(function, []).append(f"{regime} ({peer} {ratio:.1f}× faster)")
        for function, where in by_function.items():
            note = COST_NOTES.get(function, "")
            lines.append(f"- **{function}**: {'; '.join(where)}. Our cost: {note}.")
        lines.append("")
        lines.append("The orders of operations of every kernel are fixed (the results must stay "
                     "bit-identical), so these costs are those of the fixed algorithms; "
                     "the peers use algorithms of their own.")
    lines.append("")
    return lines


def engine_rows(values, counters, cheapest):
    """Per engine case: entry point and bare loop per element, their
    difference, the cost of the result arrays the call handed over, and what
    is left of the difference."""
    arrays_cost = {1: values.get("alloc/result arrays/one array"),
                   2: values.get("alloc/result arrays/two arrays")}
    rows = []
    for name, c in counters.items():
        kind, function, variant = split(name)
        if kind != "engine" or "engine_ns" not in c:
            continue
        allocs = c.get("allocs_per_call")
        # One allocation is the result matrix itself, the others its arrays.
        arrays = None if not allocs else int(round(allocs)) - 1
        cost = arrays_cost.get(arrays)
        diff = c["engine_ns"]
        rest = None if cost is None else diff - cost
        rows.append({"function": function, "variant": variant, "entry": c["entry_ns"], "loop": c["loop_ns"],
                     "diff": diff, "arrays": arrays, "arrays_cost": cost, "rest": rest,
                     "share": diff / cheapest if cheapest else float("nan"),
                     "rest_share": rest / cheapest if cheapest and rest is not None else None})
    return rows


def pct(x):
    return "–" if x is None else f"{x * 100:+.1f} %"


def ns_signed(x):
    return "–" if x is None else f"{x:+.2f} ns"


def engine_table(rows):
    lines = ["| Function | Vector | entry point | bare loop | engine cost | of Tcheb n = 5 | "
             "result arrays | their cost | rest | rest of Tcheb n = 5 |",
             "|---|---|---|---|---|---|---|---|---|---|"]
    for r in rows:
        arrays = "–" if r["arrays"] is None else str(r["arrays"])
        lines.append(f"| {r['function']} | {r['variant']} | {fmt_ns(r['entry'])} | {fmt_ns(r['loop'])} | "
                     f"{ns_signed(r['diff'])} | {pct(r['share'])} | {arrays} | "
                     f"{ns_signed(r['arrays_cost'])} | {ns_signed(r['rest'])} | {pct(r['rest_share'])} |")
    return lines


def engine_section(values, counters, kept, kept_counters, mhz):
    cheapest = values.get(f"kernel/{CHEAPEST[0]}/{CHEAPEST[1]}")
    lines = ["## The vectorization engine, per element", "",
             "Every entry point on a vector of 100 000 elements (the other arguments scalars), "
             "timed per element, and a bare loop that calls the same kernel on the same "
             "elements and stores both parts of each result into preallocated arrays, the two "
             "run in turn within every iteration (CPU time of the thread) so that they see the "
             "same state of the machine. The difference is the engine's cost per element: reading through the matrix's offset "
             "and stride, the imaginary-part rule, creating and filling the result arrays, "
             "building the result matrix and freeing it. It is set against the cheapest "
             f"kernel's time per call, {CHEAPEST[0]} at {CHEAPEST[1]} ({fmt_ns(cheapest)}); the "
             f"bound is {ENGINE_LIMIT * 100:.0f} %.", "",
             "*Result arrays* is how many arrays of 100 000 doubles the call handed over (from "
             "the allocations it made, counted on an untimed call: the arrays and the result "
             "matrix, never one per element); *their cost* is what allocating, zero-filling and "
             "freeing that many arrays costs per element on its own (benchmarks `alloc/...`); "
             "*rest* is the engine's cost less that.", ""]
    rows = engine_rows(values, counters, cheapest)
    lines.append("### With the allocator's default behaviour")
    lines.append("")
    lines += engine_table(rows)
    lines.append("")
    kept_rows = None
    if kept:
        kept_rows = engine_rows(kept, kept_counters, cheapest)
        lines.append("### With the allocator keeping freed memory")
        lines.append("")
        lines.append("The same benchmarks in a second pass of the same run, with the C library's "
                     "allocator told to keep freed memory instead of returning it to the system "
                     "(`GLIBC_TUNABLES=glibc.malloc.trim_threshold=…:glibc.malloc.mmap_threshold=…`). "
                     "The library's code is the same; only the fresh pages are gone.")
        lines.append("")
        lines += engine_table(kept_rows)
        lines.append("")
    lines += engine_verdict(values, rows, kept, kept_rows, cheapest, mhz)
    lines.append("")
    return lines


CALIBRATION = "bare loop against itself"
MANY_ARGUMENTS = ("Fhyper", "Jac", "Mhyper", "Ibeta")
# Kernels this cheap resolve the engine's cost; beside a kernel of hundreds
# of nanoseconds it is lost in the kernel's own spread.
CHEAP_LOOP_NS = 40.0


def engine_verdict(values, rows, kept, kept_rows, cheapest, mhz):
    lines = ["### What the engine's cost is spent on", ""]
    if not rows or not cheapest:
        return lines + ["No engine measurements in this run.", ""]
    bound = ENGINE_LIMIT * cheapest
    cycles = f", about {bound * mhz / 1000:.1f} clock cycles at {mhz} MHz" if mhz else ""
    lines.append(f"The bound is {bound:.2f} ns per element ({ENGINE_LIMIT * 100:.0f} % of "
                 f"{fmt_ns(cheapest)}{cycles}).")
    lines.append("")
    calibration = [r for r in (kept_rows or []) + rows if r["variant"] == CALIBRATION]
    if calibration:
        spread = max(abs(r["diff"]) for r in calibration)
        lines.append(f"- Resolution: the bare loop timed against itself in the same way differs by up "
                     f"to {spread:.2f} ns per element; differences of that size are noise.")
    measured = [r for r in rows if r["variant"] != CALIBRATION]
    basis = [r for r in (kept_rows or rows) if r["variant"] != CALIBRATION and r["loop"] < CHEAP_LOOP_NS]
    basis_name = ("with the allocator keeping its memory" if kept_rows else
                  "with the allocator's default behaviour")
    families = (
        ("one vector of a two-argument function",
         lambda r: r["function"] not in MANY_ARGUMENTS and not r["variant"].startswith("two"),
         "computing the element's place from the matrix's offset and column stride, testing the "
         "imaginary part of the result against 0.0 (the rule that decides whether an imaginary "
         "array is needed), and the zero fill of the result array when it is created"),
        ("two vectors",
         lambda r: r["variant"].startswith("two"),
         "what the one-vector form spends it on, and on reading the second vector (the bare "
         "loop takes the degree as a fixed scalar, so the comparison charges the engine with a "
         "second stream of 800 kB and its index)"),
        ("a vector of Fhyper, Jac, Mhyper or Ibeta",
         lambda r: r["function"] in MANY_ARGUMENTS,
         "what the one-vector form spends it on, with every imaginary part kept as the kernel "
         "gave it (-0.0 included), so that each part is tested both for -0.0 and for non-zero, "
         "and with three or four arguments handed to the kernel"),
    )
    for title, member, work in families:
        group = [r for r in basis if member(r)]
        if not group:
            continue
        worst = max(group, key=lambda r: r["diff"])
        verdict = "within the bound" if worst["diff"] <= bound else "above the bound"
        lines.append(
            f"- {title[0].upper()}{title[1:]} ({basis_name}, cheap kernels): at most "
            f"{worst['diff']:+.2f} ns per element ({pct(worst['share'])}, {worst['function']}, "
            f"{worst['variant']}), {verdict}. Beyond what the bare loop does (read the element, set "
            f"the result to 0 + 0i, call the kernel, store it) the engine spends it on {work}: a "
            "few instructions against a call, none of which the host's layout and the result-kind "
            "rules let go.")
    two = [r for r in measured if r["arrays"] == 2]
    over_two = [r for r in two if r["diff"] > bound]
    if over_two:
        one_cost = values.get("alloc/result arrays/one array")
        two_cost = values.get("alloc/result arrays/two arrays")
        kept_two = [r for r in (kept_rows or []) if r["arrays"] == 2 and r["loop"] < CHEAP_LOOP_NS]
        kept_text = ""
        if kept_two:
            kept_worst = max(r["diff"] for r in kept_two)
            kept_text = (f" With the allocator keeping its memory the same calls cost at most "
                         f"{kept_worst:+.2f} ns per element over the bare loop.")
        lines.append(
            f"- Complex results (two result arrays) with the allocator's default behaviour cost far "
            f"more: {min(r['diff'] for r in over_two):+.1f} to {max(r['diff'] for r in over_two):+.1f} "
            f"ns per element. On their own, one array of 100 000 doubles costs {fmt_ns(one_cost)} per "
            f"element and two cost {fmt_ns(two_cost)}: two arrays of 800 kB freed together take the "
            "top of the C library's heap past its trim threshold, the allocator returns the memory "
            "to the system, and the next call's arrays come from fresh pages, each of which costs a "
            "page fault (a slow one on this virtual machine). That is the whole difference (the "
            f"*rest* column).{kept_text} It cannot be less in the engine: a complex result must be "
            "handed over as two newly allocated arrays that the host takes over and frees, and "
            "where their pages come from is the allocator's and the system's business. Real "
            "results need only one array, because the engine creates the imaginary array only "
            "when the first element needs it.")
    allocs = sorted({r["arrays"] for r in measured if r["arrays"] is not None})
    if allocs:
        lines.append(f"- Allocations per host call: the result matrix and {' or '.join(map(str, allocs))} "
                     "result array(s), whatever the vector's length; none per element.")
    lines.append("- For the kernels of a hundred nanoseconds and more, the difference between entry "
                 "point and bare loop is within the spread of the kernel's own time and says nothing "
                 "about the engine.")
    return lines


def scalar_section(values, counters):
    lines = ["## Scalar calls", "",
             "A host call with scalar arguments (as a worksheet cell makes it) on the pool of a "
             "function's first regime, timed in turn with the kernel called directly on the same "
             "pool within every iteration: the difference is the entry point's own cost per call "
             "(telling the argument kinds apart, converting the scalars, creating the result "
             "value and freeing it).", "",
             "| Function | Regime | kernel | entry point | entry point's own cost |",
             "|---|---|---|---|---|"]
    for name, entry in values.items():
        kind, function, regime = split(name)
        if kind != "scalar":
            continue
        kernel = counters.get(name, {}).get("first_ns")
        own = "–" if kernel is None else f"{entry - kernel:+.1f} ns"
        lines.append(f"| {function} | {regime} | {fmt_ns(kernel)} | {fmt_ns(entry)} | {own} |")
    lines += ["",
              "Every two-argument entry point runs about a hundred instructions around its "
              "kernel (callgrind: the type tests, the conversion, the result's allocation and "
              "release). The scalar's way through them takes no jump: after a long kernel the "
              "processor no longer remembers the entry point's branches and takes each for not "
              "taken, so every jump on that way would cost a misprediction (laid out with jumps, "
              "the entry points cost 21 to 27 ns here for Igamma and Gamma(a, x), 19 ns for "
              "LnGamma). For the longest kernels the difference still varies from run to run by a "
              "few nanoseconds more than for the short ones.",
              ""]
    return lines


GUARDED = (("Gamma(x)", "doubles only"), ("Gamma(a,x)", "extended values"))
FLAG_STATES = (("clear", "caller's flags clear"), ("pending", "caller's x87 flags pending"))


def guard_section(values):
    lines = ["## The floating-point guard of the gamma kernels", "",
             "`FpuPrecisionGuard` constructed and destroyed on its own, per iteration, in the form "
             "each gamma kernel opens it (Gamma(z) computes in doubles only and leaves the x87 "
             "flags alone; Gamma(a, x) also computes extended values and tracks the x87 flags), "
             "next to one call of that kernel (Gamma(x): `tabulGamma1` on the pool \"real, x >= "
             "0.5\"; Gamma(a, x): `tabulGamma2` on the power-series pool), which includes one "
             "guard. The cost can depend on the caller's x87 exception flags, so both states are "
             "measured: flags clear, and the inexact flag pending, as any extended-precision "
             "operation before the call leaves it (the Kelvin kernels' divisor, a host's own long "
             "doubles); nothing clears it afterwards, so in a long session it is the usual state.",
             "", "| kernel | guard form | caller's x87 flags | guard | kernel | share |",
             "|---|---|---|---|---|---|"]
    over = []
    others = []
    for kernel, form in GUARDED:
        for label, key in FLAG_STATES:
            guard = values.get(f"guard/FpuPrecisionGuard, {form}/{key}")
            time = values.get(f"guard/{kernel}/{key}")
            if guard is None or time is None:
                lines.append(f"| {kernel} | {form} | {label} | – | – | – |")
                continue
            share = guard / time
            lines.append(f"| {kernel} | {form} | {label} | {fmt_ns(guard)} | {fmt_ns(time)} | "
                         f"{share * 100:.1f} % |")
            if share > GUARD_LIMIT:
                (over if kernel == "Gamma(x)" else others).append((label, share, guard, time, kernel))
    lines.append("")
    if over:
        states = "; ".join(f"{fmt_ns(g)} of {fmt_ns(t)}, {share * 100:.0f} %, with the caller's flags {label}"
                           for label, share, g, t, _ in over)
        lines.append(f"**The guard costs more than a tenth of Gamma(x)** ({states}): it should be "
                     "made cheaper. What it does on x86-64: save and load the x87 control word and "
                     "MXCSR on entry, load both back on exit (`fnstcw`, `fldcw`, `stmxcsr`, "
                     "`ldmxcsr`), plus, in the tracking form, the x87 status word and, when the "
                     "call raised flags the caller lacked, `fnclex` or `fnstenv`/`fldenv` to put "
                     "the caller's back. "
                     "On this processor each x87 control instruction costs several nanoseconds.")
    else:
        lines.append("The guard costs less than a tenth of Gamma(x).")
    for label, share, g, t, kernel in others:
        clear = values.get(f"guard/{kernel}/{FLAG_STATES[0][1]}")
        delta = "" if clear is None else (
            f" Inside {kernel} itself the difference between the two states is "
            f"{t - clear:+.0f} ns per call, because its own extended arithmetic raises the "
            "inexact flag again, and a guard that finds the caller's flags on exit restores "
            "nothing.")
        lines.append("")
        lines.append(f"For {kernel}, with the caller's flags {label}, the guard alone is {fmt_ns(g)} "
                     f"against {fmt_ns(t)} for the call ({share * 100:.0f} %): that form reads the x87 "
                     "status word, clears the caller's pending flags on entry (`fnclex`) and, when "
                     "nothing between entry and exit raised them again, puts them back "
                     f"(`fnstenv`/`fldenv`), the slowest instructions of the lot.{delta} With every "
                     "exception masked, pending flags cannot trap, so they need not be cleared on "
                     "entry at all; restoring only when the call changed them would make the "
                     "pending case cost what the clear case costs.")
    lines.append("")
    return lines


def vector_section(values, counters):
    """Vector calls of 10^6 elements, one thread and every core in turn, next to the bare loop."""
    rows = []
    for name, many in values.items():
        kind, function, _ = split(name)
        if kind != "vector":
            continue
        c = counters.get(name, {})
        rows.append((function, c.get("one_thread_ns"), many, int(c.get("threads", 1)),
                     c.get("bare_one_ns"), c.get("bare_all_ns")))
    if not rows:
        return []
    most = max(r[3] for r in rows)

    def speedup(one, many, threads):
        return "–" if one is None or many is None or many <= 0 or threads == 1 else f"{one / many:.2f}"

    lines = ["## Long vectors on every core", "",
             "One host call on a real vector of 10^6 elements (the engine benchmark's elements, ten "
             "times over), with one thread and with the thread count the library chooses "
             f"({most} here: `ORU_SPECIAL_THREADS`, or the number of cores), the two calls in turn "
             "within every iteration; wall-clock time per element, and the speed-up. The elements "
             "are shared out only when the first ones show that the rest would keep one thread busy "
             "for more than 0.1 ms; the results are bit-identical either way "
             "(tests/host/threads_test.cpp). Beside it, in the same iterations, the bare loop "
             "(the kernel on every element into preallocated arrays) cut into 64 slices that the "
             "threads take one at a time with a plain OpenMP loop: the speed-up the machine itself "
             "allows that kernel, with no result to create and no rule to keep.", "",
             "| Function | 1 thread | " + f"{most} threads | speed-up | bare loop, 1 thread | "
             f"bare loop, {most} threads | bare loop's speed-up |",
             "|---|---|---|---|---|---|---|"]
    for function, one, many, threads, bare_one, bare_all in rows:
        lines.append(f"| {function} | {fmt_ns(one)} | {fmt_ns(many if threads > 1 else None)} | "
                     f"{speedup(one, many, threads)} | {fmt_ns(bare_one)} | "
                     f"{fmt_ns(bare_all if threads > 1 else None)} | {speedup(bare_one, bare_all, threads)} |")
    lines.append("")
    lines.append("A speed-up needs cores that are free: on a loaded machine (see the load averages "
                 "above) the library's threads share the cores with the other work, and a thread "
                 "the system sets aside holds up the end of the call, so the split can come out "
                 "slower than one thread. Where the bare loop's speed-up is itself well below the "
                 "thread count, the limit lies in the machine (what its cores share: caches, memory "
                 "bandwidth, and on a virtual machine the host's own scheduling), not in the engine.")
    lines.append("")
    return lines


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("run")
    p.add_argument("--engine-kept-memory")
    p.add_argument("--load-before")
    p.add_argument("--load-after")
    p.add_argument("--min-time")
    p.add_argument("--repetitions")
    args = p.parse_args()

    runs = load(args.run)
    counters, spread, errors = medians(runs)
    values = per_eval_ns(counters)
    kept = kept_counters = None
    if args.engine_kept_memory:
        kept_counters, _, _ = medians(load(args.engine_kept_memory))
        kept = per_eval_ns(kept_counters)

    out = ["# Performance", "",
           "Written by `scripts/run_benchmarks.sh` from one run of the benchmark program "
           "(`bench/`); do not edit by hand. Times are per evaluation (kernels, peers) or per "
           "vector element (entry points).", ""]
    out += machine_section(runs, args)
    out += kernel_section(values, counters, spread, errors)
    out += engine_section(values, counters, kept, kept_counters, runs.get("context", {}).get("mhz_per_cpu"))
    out += scalar_section(values, counters)
    out += guard_section(values)
    out += vector_section(values, counters)
    worst_cv = max(spread.values(), default=None)
    if worst_cv is not None:
        out.append(f"Largest coefficient of variation between repetitions: {worst_cv * 100:.0f} %.")
        out.append("")
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
