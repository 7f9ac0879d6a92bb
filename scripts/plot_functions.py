#!/usr/bin/env python3
"""Draws the graphs of the function pages (docs/functions/plots/*.svg).

    python3 scripts/plot_functions.py --program build/default/cli/oru-special \
        --out docs/functions/plots [name ...]

Run through scripts/make_plots.sh, which installs gnuplot and builds the
program first. Every value comes from the command-line host: the points of a
curve are written as one statement per line to `oru-special --json -f -`,
and a point whose statement fails is left out of the curve (it leaves a gap).
The error graphs compare those values with references computed by mpmath at
40 significant digits, in units of 2^-52. Needs python3, mpmath and gnuplot.
"""

import argparse
import json
import math
import os
import subprocess
import sys
import tempfile

import mpmath

mpmath.mp.dps = 40
ULP = 2.0 ** -52


# ---- evaluating through the program ------------------------------------------

def number(v):
    """A double as the statement language writes it."""
    return repr(float(v))


def evaluate(program, statements):
    """The values (complex, or None where the statement failed) of the
    statements, in order."""
    text = "\n".join(statements) + "\n"
    done = subprocess.run([program, "--json", "-f", "-"], input=text, capture_output=True,
                          text=True, timeout=600)
    lines = done.stdout.splitlines()
    if len(lines) != len(statements):
        sys.exit(f"{program} printed {len(lines)} lines for {len(statements)} statements")
    values = []
    for line in lines:
        record = json.loads(line)
        if record["kind"] != "scalar":
            values.append(None)
            continue
        values.append(complex(as_float(record["re"]), as_float(record["im"])))
    return values


def as_float(v):
    # Infinities and NaN arrive as the strings "inf", "-inf" and "nan".
    return float(v)


def linspace(a, b, n):
    return [a + (b - a) * i / (n - 1) for i in range(n)]


def avoiding_integers(a, b, n, gap=1e-3):
    """Points of [a, b] in pieces between the integers, kept gap away from
    them (for functions with poles there); None separates the pieces."""
    points = []
    k = math.floor(a)
    while k < b:
        lo, hi = max(a, k + gap), min(b, k + 1 - gap)
        if lo < hi:
            count = max(2, int(n * (hi - lo) / (b - a)))
            points += linspace(lo, hi, count) + [None]
        k += 1
    return points


# ---- curves ------------------------------------------------------------------

class Curve:
    """One line of a graph: its label, its points, the statement of a point,
    and what to draw for a point (from its value and the point)."""

    def __init__(self, label, points, statement, y=lambda v, x: v.real, style="lines"):
        self.label, self.points, self.statement, self.y, self.style = \
            label, points, statement, y, style

    def data(self, program):
        real = [p for p in self.points if p is not None]
        values = iter(evaluate(program, [self.statement(p) for p in real]))
        rows = []
        for p in self.points:
            if p is None:
                rows.append(None)
                continue
            v = next(values)
            y = None if v is None else self.y(v, p)
            rows.append(None if y is None or not math.isfinite(y) else (p, y))
        return rows


def relative_error(reference, scale=None):
    """y of an error curve: |computed - reference| / |scale or reference| in
    units of 2^-52, floored at 0.01 so that exact points stay on a log axis."""
    def y(v, x):
        ref = reference(x)
        size = abs(scale(x)) if scale else abs(ref)
        # A reference below the normal double range is 0 or subnormal in
        # double precision: no relative error to speak of.
        if size < 2.2250738585072014e-308:
            return None
        err = abs(mpmath.mpc(v.real, v.imag) - ref) / size / ULP
        return max(float(err), 0.01)
    return y


def poly_curves(name, degrees, lo, hi, n=400, weight=lambda k, x: 1.0):
    return [Curve(f"n = {k}", linspace(lo, hi, n), lambda x, k=k: f"{name}({k}, {number(x)})",
                  lambda v, x, k=k: v.real * weight(k, x)) for k in degrees]


def kelvin_modulus(k, x):
    return mpmath.hypot(mpmath.ber(k, x), mpmath.bei(k, x))


def plots():
    """name -> (title, x label, y label, gnuplot settings, curves)."""
    p = {}
    p["tcheb"] = ("Chebyshev polynomials of the first kind T_n(x)", "x", "T_n(x)",
                  "set yrange [-1.1:1.1]", poly_curves("Tcheb", range(1, 6), -1, 1))
    p["ucheb"] = ("Chebyshev polynomials of the second kind U_n(x)", "x", "U_n(x)",
                  "set yrange [-6.5:6.5]", poly_curves("Ucheb", range(1, 6), -1, 1))
    # Just outside 1, where the recurrence is worst: x = 1 + d for d on a log scale.
    gaps = [10.0 ** e for e in linspace(-12, -1, 300)]
    p["chebyshev-error"] = (
        "Relative error of T_n(1 + d) and U_n(1 + d), n = 1000", "d = x - 1",
        "relative error in units of 2^{-52}",
        "set logscale xy; set format y '10^{%L}'; set format x '10^{%L}'",
        [Curve(f"{name}(1000, 1 + d)", [(1.0 + d) - 1.0 for d in gaps],
               lambda d, name=name: f"{name}(1000, {number(1.0 + d)})",
               relative_error(lambda d, f=f: f(1000, mpmath.mpf(1.0 + d))), "points pt 7 ps 0.4")
         for name, f in (("Tcheb", mpmath.chebyt), ("Ucheb", mpmath.chebyu))])
    p["leg"] = ("Legendre polynomials P_n(x)", "x", "P_n(x)", "set yrange [-1.1:1.1]",
                poly_curves("Leg", range(1, 6), -1, 1))
    p["her"] = ("Hermite polynomials, H_n(x) e^{-x^2/2} / sqrt(2^n n!)", "x", "scaled H_n(x)",
                "set yrange [-1.6:1.6]",
                poly_curves("Her", range(0, 6), -5, 5,
                            weight=lambda k, x: math.exp(-x * x / 2) / math.sqrt(2.0 ** k * math.factorial(k))))
    p["lag"] = ("Laguerre polynomials, L_n(x) e^{-x/2}", "x", "L_n(x) e^{-x/2}", "set yrange [-1.1:1.1]",
                poly_curves("Lag", range(1, 6), 0, 20, weight=lambda k, x: math.exp(-x / 2)))
    jac_params = [(0, 0), (0.5, 0.5), (-0.5, -0.5), (2, 0), (0, 2), (-0.5, 1.5)]
    p["jac"] = ("Jacobi polynomials P_4^{(α,β)}(x)", "x", "P_4^{(α,β)}(x)", "set yrange [-1.5:8]",
                [Curve(f"α = {a}, β = {b}", linspace(-1, 1, 400),
                       lambda x, a=a, b=b: f"Jac(4, {a}, {b}, {number(x)})") for a, b in jac_params])
    for fn in ("Ber", "Bei"):
        lower = fn.lower()
        # Scaled by the growth of the amplitude, e^(x/sqrt 2) / sqrt(2 pi x).
        p[lower] = (f"Kelvin functions, {lower}_n(x) sqrt(2πx) e^{{-x/√2}}", "x",
                    f"scaled {lower}_n(x)", "set yrange [-1.6:1.6]",
                    poly_curves(fn, range(0, 3), 0, 30, n=600,
                                weight=lambda k, x: math.sqrt(2 * math.pi * x) * math.exp(-x / math.sqrt(2))))
        exact = mpmath.ber if fn == "Ber" else mpmath.bei
        p[lower + "-error"] = (
            f"Error of {lower}_n(x), relative to |ber_n(x) + i bei_n(x)|", "x",
            "error in units of 2^{-52}", "set logscale y; set format y '10^{%L}'",
            [Curve(f"n = {k}", linspace(0.25, 150, 600),
                   lambda x, k=k, fn=fn: f"{fn}({k}, {number(x)})",
                   relative_error(lambda x, k=k, e=exact: e(k, x), lambda x, k=k: kelvin_modulus(k, x)),
                   "points pt 7 ps 0.3") for k in (0, 1, 5)])
    p["gamma"] = ("Gamma function Γ(x) on the real line", "x", "Γ(x)", "set yrange [-10:10]",
                  [Curve("Γ(x)", avoiding_integers(-5, 5, 2000), lambda x: f"Gamma({number(x)})")])
    p["gamma-error"] = (
        "Relative error of Γ(x) on the real line", "x", "relative error in units of 2^{-52}",
        "set logscale y; set format y '10^{%L}'",
        [Curve("Γ(x)", [x for x in linspace(-40.37, 171.3, 3000) if x != round(x)],
               lambda x: f"Gamma({number(x)})", relative_error(lambda x: mpmath.gamma(x)),
               "points pt 7 ps 0.3"),
         Curve("Γ(x + 2i)", linspace(-40.37, 171.3, 1500),
               lambda x: f"Gamma(complex({number(x)}, 2))",
               relative_error(lambda x: mpmath.gamma(mpmath.mpc(x, 2))), "points pt 7 ps 0.3")])
    p["gamma2"] = ("Upper incomplete gamma function Γ(a, x)", "x", "Γ(a, x)", "set yrange [0:3]",
                   [Curve(f"a = {a}", linspace(0, 5, 300), lambda x, a=a: f"Gamma({a}, {number(x)})")
                    for a in (0.5, 1, 2, 3)])
    p["lngamma"] = ("ln Γ(x) on the real line, from above the cut", "x", "ln Γ(x)",
                    "set yrange [-16:8]",
                    [Curve("real part ln|Γ(x)|", avoiding_integers(-5, 8, 2600),
                           lambda x: f"LnGamma(complex({number(x)}, 0))"),
                     Curve("imaginary part", avoiding_integers(-5, 8, 2600),
                           lambda x: f"LnGamma(complex({number(x)}, 0))", lambda v, x: v.imag)])
    p["lngamma-error"] = (
        "Relative error of ln Γ(z)", "Re z", "relative error in units of 2^{-52}",
        "set logscale y; set format y '10^{%L}'",
        [Curve("z = x", [x for x in linspace(-30.37, 60.3, 2000) if x != round(x)],
               lambda x: f"LnGamma(complex({number(x)}, 0))",
               relative_error(lambda x: mpmath.loggamma(x)), "points pt 7 ps 0.3"),
         Curve("z = x + 3i", linspace(-30.37, 60.3, 1500),
               lambda x: f"LnGamma(complex({number(x)}, 3))",
               relative_error(lambda x: mpmath.loggamma(mpmath.mpc(x, 3))), "points pt 7 ps 0.3")])
    p["igamma"] = ("Regularized lower incomplete gamma function P(n, x)", "x", "P(n, x)",
                   "set yrange [0:1.05]; set key right bottom",
                   [Curve(f"n = {n}", linspace(0, 20, 300), lambda x, n=n: f"Igamma({n}, {number(x)})")
                    for n in (1, 2, 3, 5, 10)])
    fh = [(1, 1, 2), (0.5, 0.5, 1.5), (1, -0.5, 2), (2, 3, 4), (-3, 2, 1), (0.3, 0.7, 1.9)]
    p["fhyper"] = ("Gauss hypergeometric function 2F1(a, b; c; x)", "x", "2F1(a, b; c; x)",
                   "set yrange [-1:6]; set key left top",
                   [Curve(f"a = {a}, b = {b}, c = {c}", linspace(-0.995, 0.995, 400),
                          lambda x, a=a, b=b, c=c: f"Fhyper({a}, {b}, {c}, {number(x)})")
                    for a, b, c in fh])
    fe = [(1, 1, 2), (0.3, 0.7, 1.9), (2.5, -1.5, 3.3), (1, 12.5, 2.5), (5, 6, 2)]
    p["fhyper-error"] = (
        "Relative error of 2F1(a, b; c; x)", "x", "relative error in units of 2^{-52}",
        "set logscale y; set format y '10^{%L}'; set key left top",
        [Curve(f"a = {a}, b = {b}, c = {c}", linspace(-0.999, 0.999, 700),
               lambda x, a=a, b=b, c=c: f"Fhyper({a}, {b}, {c}, {number(x)})",
               relative_error(lambda x, a=a, b=b, c=c: mpmath.hyp2f1(a, b, c, x)),
               "points pt 7 ps 0.3") for a, b, c in fe])
    mh = [(1, 1), (1, 2), (-2, 1), (0.5, 1.5), (2.5, 1.5), (-3.5, 2)]
    p["mhyper"] = ("Confluent hypergeometric function M(a, b, x)", "x", "M(a, b, x)",
                   "set yrange [-1.5:6]; set key left top",
                   [Curve(f"a = {a}, b = {b}", linspace(-10, 5, 400),
                          lambda x, a=a, b=b: f"Mhyper({a}, {b}, {number(x)})") for a, b in mh])
    me = [(1, 2), (0.5, 1.5), (-0.5, 1), (1, 1), (3.5, 1.2)]
    p["mhyper-error"] = (
        "Relative error of M(a, b, x); missing points raised an error", "x",
        "relative error in units of 2^{-52}", "set logscale y; set format y '10^{%L}'; set key left top",
        [Curve(f"a = {a}, b = {b}", linspace(-66, 66, 661),
               lambda x, a=a, b=b: f"Mhyper({a}, {b}, {number(x)})",
               relative_error(lambda x, a=a, b=b: mpmath.hyp1f1(a, b, x)), "points pt 7 ps 0.3")
         for a, b in me])
    ib = [(0.5, 0.5), (2, 2), (2, 5), (5, 1), (1, 3)]
    p["ibeta"] = ("Regularized incomplete beta function I_x(a, b)", "x", "I_x(a, b)",
                  "set yrange [0:1.05]; set key left top",
                  [Curve(f"a = {a}, b = {b}", linspace(0, 1, 300),
                         lambda x, a=a, b=b: f"Ibeta({number(x)}, {a}, {b})") for a, b in ib])
    ie = [(0.5, 0.5), (2, 5), (50, 50), (600, 400), (0.01, 3)]
    p["ibeta-error"] = (
        "Relative error of I_x(a, b)", "x", "relative error in units of 2^{-52}",
        "set logscale y; set format y '10^{%L}'; set key left top",
        [Curve(f"a = {a}, b = {b}", linspace(0.001, 0.999, 500),
               lambda x, a=a, b=b: f"Ibeta({number(x)}, {a}, {b})",
               relative_error(lambda x, a=a, b=b: mpmath.betainc(a, b, 0, x, regularized=True)),
               "points pt 7 ps 0.3") for a, b in ie])
    return p


# ---- drawing -------------------------------------------------------------------

def write_data(path, rows):
    with open(path, "w", encoding="utf-8") as f:
        for row in rows:
            f.write("\n" if row is None else f"{row[0]!r} {row[1]!r}\n")


def draw(name, graph, program, out, work):
    title, xlabel, ylabel, settings, curves = graph
    commands = [
        f"set terminal svg size 720,{500 if 'logscale y' in settings else 440} dynamic enhanced font 'sans,12' background rgb 'white'",
        f"set output '{os.path.join(out, name + '.svg')}'",
        f"set title \"{title}\"", f"set xlabel \"{xlabel}\"", f"set ylabel \"{ylabel}\"",
        "set grid lc rgb '#dddddd'", "set key box opaque", settings]
    series = []
    for i, curve in enumerate(curves):
        path = os.path.join(work, f"{name}-{i}.dat")
        rows = curve.data(program)
        write_data(path, rows)
        if any(r is not None for r in rows):
            series.append(f"'{path}' using 1:2 with {curve.style} lw 2 title \"{curve.label}\"")
    if "logscale y" in settings:
        commands.append("set key outside below center maxrows 2")
    if not series:
        sys.exit(f"{name}: no point could be evaluated")
    commands.append("plot " + ", ".join(series))
    subprocess.run(["gnuplot"], input="\n".join(commands) + "\n", text=True, check=True)
    print(f"wrote {os.path.join(out, name + '.svg')}")


def draw_gamma_modulus(program, out, work):
    """|Γ(x + iy)| over a part of the complex plane, as a colour map."""
    # A grid that misses the poles on the real axis.
    xs, ys = linspace(-4.45, 4.45, 90), linspace(-2.95, 2.95, 60)
    statements = [f"Gamma(complex({number(x)}, {number(y)}))" for y in ys for x in xs]
    values = iter(evaluate(program, statements))
    path = os.path.join(work, "gamma-modulus.dat")
    with open(path, "w", encoding="utf-8") as f:
        for y in ys:
            for x in xs:
                v = next(values)
                m = abs(v) if v is not None and math.isfinite(abs(v)) else 1e3
                f.write(f"{x!r} {y!r} {math.log10(min(max(m, 1e-3), 1e3))!r}\n")
            f.write("\n")
    commands = [
        "set terminal svg size 720,480 dynamic enhanced font 'sans,12' background rgb 'white'",
        f"set output '{os.path.join(out, 'gamma-modulus.svg')}'",
        "set title \"log_{10} |Γ(x + iy)|: poles at 0, -1, -2, ...\"",
        "set xlabel 'x = Re z'", "set ylabel 'y = Im z'", "set view map", "set size ratio -1",
        "set cbrange [-2:2]", "set cblabel 'log_{10} |Γ(z)|'", "set palette defined "
        "(-2 '#2c7bb6', -1 '#abd9e9', 0 '#ffffbf', 1 '#fdae61', 2 '#d7191c')",
        "set xrange [-4.5:4.5]", "set yrange [-3:3]", "unset key",
        f"splot '{path}' using 1:2:3 with pm3d"]
    subprocess.run(["gnuplot"], input="\n".join(commands) + "\n", text=True, check=True)
    print(f"wrote {os.path.join(out, 'gamma-modulus.svg')}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("names", nargs="*", help="only these graphs (default: all)")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    graphs = plots()
    wanted = args.names or list(graphs) + ["gamma-modulus"]
    with tempfile.TemporaryDirectory() as work:
        for name in wanted:
            if name == "gamma-modulus":
                draw_gamma_modulus(args.program, args.out, work)
            elif name in graphs:
                draw(name, graphs[name], args.program, args.out, work)
            else:
                sys.exit(f"unknown graph {name}; known: {', '.join(list(graphs) + ['gamma-modulus'])}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
