"""High-precision values and condition numbers for the accuracy sweep (mpmath).

Each function is described by its value in mpmath, with the library's documented
conventions where the mathematics leaves a choice (x = 0 of the hypergeometric
functions, b = c of 2F1, orders truncated to integers), and by its continuous
arguments with, where it is simple, the analytic derivative along each. The
condition number is

    kappa = sum over the continuous arguments v of |v * df/dv / f|,

the relative change of the value per relative change of the arguments, so that
an input rounded to a double leaves an uncertainty of about kappa * 2^-53 in the
value. Derivatives without a simple formula are taken numerically by mp.diff
with a step relative to the argument. An argument along which f is not defined
on either side (an exact integer that ends a series before a pole) counts as
discrete and adds nothing.
"""

from dataclasses import dataclass, field
from typing import Callable, Dict, Tuple

import mpmath
from mpmath import mp, mpc, mpf


class Undefined(Exception):
    """The point is a pole or otherwise outside the function's definition."""


@dataclass(frozen=True)
class Reference:
    value: Callable[..., object]
    continuous: Tuple[int, ...]
    derivatives: Dict[int, Callable[..., object]] = field(default_factory=dict)


def finite(v):
    v = mpc(v)
    if not (mpmath.isfinite(v.real) and mpmath.isfinite(v.imag)):
        raise Undefined()
    return v


def evaluate(ref, args):
    """The value at the exact doubles args, as an mpc; Undefined at a pole."""
    try:
        return finite(ref.value(*[mpf(a) for a in args]))
    except (ZeroDivisionError, ValueError) as failure:
        raise Undefined() from failure


def partial(ref, args, i):
    """df/dv_i at args, analytic where known, else numerical."""
    x = [mpf(a) for a in args]
    if i in ref.derivatives:
        return mpc(ref.derivatives[i](*x))

    def along(t):
        return ref.value(*(x[:i] + [t] + x[i + 1:]))

    return mpc(mp.diff(along, x[i], relative=True))


def condition(ref, args, value):
    """kappa at args; inf where the value is 0."""
    total = mpf(0)
    for i in ref.continuous:
        if args[i] == 0:
            continue
        try:
            slope = finite(partial(ref, args, i))
        except (ZeroDivisionError, ValueError, Undefined):
            continue
        total += abs(mpf(args[i]) * slope)
    if total == 0:
        return mpf(0)
    return total / abs(value) if value != 0 else mpf("inf")


# ------------------------------------------------------------- hypergeometric


def mhyper(a, b, x):
    if x == 0:
        return mpf(1)
    return mpmath.hyp1f1(a, b, x, maxterms=10**6)


def mhyper_dx(a, b, x):
    return a / b * mpmath.hyp1f1(a + 1, b + 1, x, maxterms=10**6)


def fhyper(a, b, c, x):
    if x == 0:
        return mpf(1)
    if b == c:
        return (1 - x) ** (-a)
    if a == c:
        return (1 - x) ** (-b)
    return mpmath.hyp2f1(a, b, c, x, maxterms=10**6)


def fhyper_dx(a, b, c, x):
    return a * b / c * fhyper(a + 1, b + 1, c + 1, x)


# --------------------------------------------------------------------- Kelvin


def kelvin_complex(n, x):
    """ber_n(x) + i bei_n(x) = J_n(x e^(3 pi i / 4)), by the symmetry in the sign of x."""
    sign = -1 if (x < 0 and int(n) % 2) else 1
    x = abs(x)
    return sign * mpc(mpmath.ber(n, x), mpmath.bei(n, x))


def kelvin_complex_dx(n, x):
    """e^(3 pi i / 4) J_n'(x e^(3 pi i / 4))."""
    rotation = mpmath.expjpi(mpf(3) / 4)
    return rotation * mpmath.besselj(n, x * rotation, derivative=1)


REFERENCES = {
    "Mhyper": Reference(mhyper, (0, 1, 2), {2: mhyper_dx}),
    "Fhyper": Reference(fhyper, (0, 1, 2, 3), {3: fhyper_dx}),
    "Ber": Reference(lambda n, x: kelvin_complex(n, x).real, (1,),
                     {1: lambda n, x: kelvin_complex_dx(n, x).real}),
    "Bei": Reference(lambda n, x: kelvin_complex(n, x).imag, (1,),
                     {1: lambda n, x: kelvin_complex_dx(n, x).imag}),
}
