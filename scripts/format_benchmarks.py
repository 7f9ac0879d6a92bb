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
GUARD_REFERENCE = ("Gamma(z)", "real, x >= 0.5")
PEERS = ("boost", "gsl")
# A ratio ours/peer above this counts as slower (below it, within the noise
# of a shared machine).
SLOWER = 1.15

# Why a kernel costs what it costs: the fixed work its algorithm prescribes.
# Shown next to every regime where a peer is faster.
COST_NOTES = {
    "Tcheb": "the three-term recurrence, n - 1 steps, prescribed for every degree (no closed "
             "trigonometric form); per call also the degree and point checks",
    "Ucheb": "as Tcheb: n - 1 recurrence steps and the argument checks",
    "Her": "n - 1 recurrence steps and the argument checks",
    "Lag": "n - 1 recurrence steps, each with a division by k (the rearranged recurrence)",
    "Leg": "n - 1 recurrence steps, each with a division by k (the rearranged recurrence)",
    "Jac": "n - 1 recurrence steps, each with a division and some ten multiplications",
    "Gamma(z)": "every non-integer argument takes the complex path: eleven complex logarithms "
                "(the upward shift by 11), Stirling's series, a complex exponential, and a "
                "complex sine for the reflection; a real argument is not given a real shortcut. "
                "Positive integers go through the factorial routine, whose cost grows with n. "
                "The floating-point guard is opened on every call",
    "LnGamma": "the shift of up to 16 complex multiplications with their winding count, and up "
               "to 15 Stirling terms each tested against 2^-52; real arguments go through the "
               "real log-gamma helper",
    "Gamma(a,x)": "the series or continued fraction runs to 2^-52, plus a real log-gamma, a real "
                  "gamma and the floating-point guard",
    "Igamma": "the series or continued fraction runs to 2^-52 (no iteration cap), plus a real "
              "log-gamma",
    "Fhyper": "the series runs until a term no longer changes the sum (up to 1000 terms); the "
              "connection formula sums two series and six gamma values; the logarithmic case "
              "evaluates four digamma values in every pass of its series",
    "Mhyper": "the power series is always summed first (up to 200 terms); where its error "
              "estimate is above 1e-6 both asymptotic 2F0 series are summed as well, with their "
              "gamma-function prefactors",
    "Ibeta": "up to 100 passes of the continued fraction, two partial fractions each, and four "
             "real log-gammas",
    "Ber": "the power series, four terms a pass, until a whole pass changes the sum by less than "
           "2^-52",
    "Bei": "as Ber",
}


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def per_eval_ns(runs):
    """Median time per evaluation (ns) and spread (coefficient of variation)
    of every benchmark, by its name; errors by name too."""
    values = {}
    spread = {}
    errors = {}
    samples = {}
    for b in runs["benchmarks"]:
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            errors[name] = b.get("error_message", "error")
            continue
        if "per_eval" not in b:
            continue
        kind = b.get("run_type", "iteration")
        if kind == "aggregate":
            agg = b.get("aggregate_name")
            if agg == "median":
                values[name] = b["per_eval"] * 1e9
            elif agg == "cv":
                spread[name] = b["per_eval"]
        else:
            samples.setdefault(name, []).append(b["per_eval"] * 1e9)
    for name, xs in samples.items():
        if name not in values:
            xs = sorted(xs)
            values[name] = xs[len(xs) // 2]
    counters = {}
    for b in runs["benchmarks"]:
        if "allocs_per_call" in b and b.get("aggregate_name", "median") == "median":
            counters[b.get("run_name", b["name"])] = b["allocs_per_call"]
    return values, spread, errors, counters


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
    loaded = False
    for label, text in (("before", args.load_before), ("after", args.load_after)):
        if text:
            lines.append(f"- Load average {label} the run (1, 5, 15 minutes): {text}.")
            try:
                loaded = loaded or float(text.split()[0]) > 1.3
            except ValueError:
                pass
    lib_load = ctx.get("load_avg")
    if lib_load:
        loaded = loaded or lib_load[0] > 1.3
    if loaded:
        lines.append("- **The machine was loaded during the run** (other builds were running on "
                     "its cores): the times carry more noise than usual, and ratios near 1 should "
                     "not be read as differences.")
    if ctx.get("library_build_type") == "debug":
        lines.append("- Google Benchmark itself was built without optimisation (Debian's package); "
                     "this affects only the timing loop, which is the same for every benchmark.")
    lines.append("")
    return lines


def kernel_section(values, spread, errors):
    lines = ["## Kernels, per evaluation, next to the peers", "",
             "Each regime is a pool of 512 fixed, seeded inputs inside one branch of the "
             "algorithm; the time is per kernel call (`Oru::tabulTcheb(res, a, b)` and so on, "
             "called directly). The peers get the same inputs and compute the same function in "
             "the same normalisation (Boost: default policy with every error set to "
             "`ignore_error`; GSL: error handler off). A ratio above 1 means we are slower; "
             f"above {SLOWER} it is marked.", "",
             "| Function | Regime | ours | Boost | ours/Boost | GSL | ours/GSL |",
             "|---|---|---|---|---|---|---|"]
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
                     "bit-identical), so these costs are those of the prescribed algorithms; "
                     "the peers use other algorithms and other orders, and give other results in "
                     "the last bits.")
    lines.append("")
    return lines


def engine_rows(values, counters, cheapest):
    rows = []
    for name in values:
        kind, function, variant = split(name)
        if kind != "entry":
            continue
        entry = values[name]
        loop = values.get(f"loop/{function}/{variant}")
        if loop is None:
            continue
        diff = entry - loop
        share = diff / cheapest if cheapest else float("nan")
        rows.append((function, variant, entry, loop, diff, share, counters.get(name)))
    return rows


def engine_table(rows):
    lines = ["| Function | Vector | entry point | bare kernel loop | engine cost | "
             "of Tcheb n = 5 | allocations per call |",
             "|---|---|---|---|---|---|---|"]
    for function, variant, entry, loop, diff, share, allocs in rows:
        alloc_text = "–" if allocs is None else f"{allocs:.0f}"
        lines.append(f"| {function} | {variant} | {fmt_ns(entry)} | {fmt_ns(loop)} | "
                     f"{diff:+.2f} ns | {share * 100:+.1f} % | {alloc_text} |")
    return lines


def engine_section(values, counters, kept, kept_counters):
    cheapest = values.get(f"kernel/{CHEAPEST[0]}/{CHEAPEST[1]}")
    lines = ["## The vectorization engine, per element", "",
             "Every entry point on a vector of 100 000 elements (the other arguments scalars), "
             "timed per element, next to a bare loop that calls the same kernel on the same "
             "elements and stores both parts of each result into preallocated arrays. The "
             "difference is what the engine costs per element: reading through the matrix's "
             "offset and stride, the imaginary-part rule, creating and filling the result "
             "arrays, building the result matrix and freeing it. It is set against the cheapest "
             f"kernel's time per call, {CHEAPEST[0]} at {CHEAPEST[1]} "
             f"({fmt_ns(cheapest)} in the kernel table); the bound is {ENGINE_LIMIT * 100:.0f} %.",
             ""]
    rows = engine_rows(values, counters, cheapest)
    lines.append("### As the host's allocator behaves by default")
    lines.append("")
    lines += engine_table(rows)
    lines.append("")
    if kept:
        kept_rows = engine_rows(kept, kept_counters, cheapest)
        lines.append("### With the allocator keeping freed memory")
        lines.append("")
        lines.append("The same benchmarks in a second pass of the same run, with the C library's "
                     "allocator told not to return freed memory to the system "
                     "(`GLIBC_TUNABLES=glibc.malloc.trim_threshold=…:glibc.malloc.mmap_threshold=…`). "
                     "The library's code is the same; only the page faults of fresh memory are gone.")
        lines.append("")
        lines += engine_table(kept_rows)
        lines.append("")
        lines += engine_verdict(rows, kept_rows)
    else:
        lines += engine_verdict(rows, None)
    lines.append("")
    return lines


def engine_verdict(rows, kept_rows):
    lines = ["### What the engine's cost is spent on", ""]
    def worst(rs):
        return max((r[5] for r in rs), default=float("nan"))
    w = worst(rows)
    lines.append(f"- Largest engine cost with the default allocator: {w * 100:+.1f} % of the "
                 "cheapest kernel's call.")
    if kept_rows is not None:
        wk = worst(kept_rows)
        lines.append(f"- Largest with the allocator keeping its memory: {wk * 100:+.1f} %.")
    lines.append(
        "- Allocations: a host call makes the same few allocations whatever the vector's "
        "length (the result arrays, the result matrix, and the input's copy in the "
        "benchmark's own bookkeeping is not counted); none is made per element.")
    lines.append(
        "- The result arrays are allocated and zero-filled once per call, written once per "
        "element, and freed by the host. For a 100 000-element vector each array is 800 kB. "
        "The C library's allocator serves such blocks from fresh pages when it has returned "
        "the previous ones to the system, and each fresh page costs a page fault; that cost "
        "belongs to the allocator and the system, and it is what the two tables differ by. "
        "An engine that must hand over newly allocated arrays cannot avoid it; keeping the "
        "imaginary array unallocated until a complex result arrives (as the real-result "
        "families do) halves it for real results.")
    lines.append(
        "- The rest is below the resolution of this machine: the reading of each element "
        "through offset and stride and the test of its imaginary part cost a few "
        "instructions against the kernel's call.")
    return lines


def guard_section(values):
    guard = values.get("guard/FpuPrecisionGuard/construct and destroy")
    gamma = values.get(f"kernel/{GUARD_REFERENCE[0]}/{GUARD_REFERENCE[1]}")
    lines = ["## The floating-point guard of the gamma kernels", "",
             "`FpuPrecisionGuard` constructed and destroyed on its own, per iteration, next to "
             f"one call of {GUARD_REFERENCE[0]} on {GUARD_REFERENCE[1]} (which includes one guard).",
             "", "| guard | Gamma(x) | share |", "|---|---|---|"]
    if guard is None or gamma is None:
        lines.append("| – | – | – |")
        return lines + [""]
    share = guard / gamma
    lines.append(f"| {fmt_ns(guard)} | {fmt_ns(gamma)} | {share * 100:.1f} % |")
    lines.append("")
    if share > GUARD_LIMIT:
        lines.append(f"**The guard costs more than a tenth of Gamma(x)** ({share * 100:.1f} %): "
                     "it should be made cheaper.")
    else:
        lines.append(f"The guard costs less than a tenth of Gamma(x).")
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
    values, spread, errors, counters = per_eval_ns(runs)
    kept = kept_counters = None
    if args.engine_kept_memory:
        kept, _, _, kept_counters = per_eval_ns(load(args.engine_kept_memory))

    out = ["# Performance", "",
           "Written by `scripts/run_benchmarks.sh` from one run of the benchmark program "
           "(`bench/`); do not edit by hand. Times are per evaluation (kernels, peers) or per "
           "vector element (entry points).", ""]
    out += machine_section(runs, args)
    out += kernel_section(values, spread, errors)
    out += engine_section(values, counters, kept, kept_counters)
    out += guard_section(values)
    worst_cv = max(spread.values(), default=None)
    if worst_cv is not None:
        out.append(f"Largest coefficient of variation between repetitions: {worst_cv * 100:.0f} %.")
        out.append("")
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
