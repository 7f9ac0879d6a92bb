"""High-precision values and condition numbers for the accuracy sweep (mpmath).

Each function is described by its value in mpmath, with the library's documented
conventions where the mathematics leaves a choice (x = 0 of the hypergeometric
functions, b = c of 2F1, orders truncated to integers), and by its continuous
arguments with, where it is simple, the analytic derivative along each. The
condition number is

    kappa = sum over the continuous arguments v of |v * df/dv / f|,

the relative change of the value per relative change of the arguments, so that
an input rounded to a double leaves an uncertainty of about kappa * 2^-53 in the
value. Derivatives without a simple formula are taken numerically, as a central
difference with a step relative to the argument, at ten digits more than the
value. An argument along which f is not defined on either side (an exact
integer that ends a series before a pole) counts as discrete and adds nothing.
"""

import math
from contextlib import contextmanager
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


@contextmanager
def poles_undefined():
    """mpmath reports a pole as an error naming it: that is Undefined; any other error is a fault."""
    try:
        yield
    except (ZeroDivisionError, ValueError) as failure:
        if "pole" not in str(failure):
            raise
        raise Undefined() from failure


def evaluate(ref, args):
    """The value at the exact doubles args, as an mpc; Undefined at a pole."""
    with poles_undefined():
        return finite(ref.value(*[mpf(a) for a in args]))


def partial(ref, args, i):
    """df/dv_i at args, analytic where known, else numerical."""
    x = [mpf(a) for a in args]
    if i in ref.derivatives:
        return mpc(ref.derivatives[i](*x))

    def along(t):
        return mpc(ref.value(*(x[:i] + [t] + x[i + 1:])))

    with mp.workdps(mp.dps + 10):
        h = abs(x[i]) * mpf(10) ** -20
        return (along(x[i] + h) - along(x[i] - h)) / (2 * h)


def condition(ref, args, value):
    """kappa at args; inf where the value is 0."""
    total = mpf(0)
    for i in ref.continuous:
        if args[i] == 0:
            continue
        try:
            with poles_undefined():
                slope = finite(partial(ref, args, i))
        except Undefined:
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


# ---------------------------------------------------------------- gamma family


def gamma_z(x, y):
    return mpmath.gamma(mpc(x, y))


def gamma_derivative(z):
    return mpmath.gamma(z) * mpmath.digamma(z)


def lngamma_z(x, y):
    return mpmath.loggamma(mpc(x, y))


def along_real_and_imaginary(df):
    """d/dx and d/dy of an analytic f(x + iy): f'(z) and i f'(z)."""
    return {0: lambda x, y: df(mpc(x, y)), 1: lambda x, y: 1j * df(mpc(x, y))}


def lower_regularized_series(a, x):
    """P(a, x) = x^a e^-x / Gamma(a + 1) M(1, a + 1, x): positive terms, no cancellation."""
    front = mpmath.exp(a * mpmath.log(x) - x - mpmath.loggamma(a + 1))
    return front * mpmath.hyp1f1(1, a + 1, x, maxterms=10**7)


def upper_fraction(a, x):
    """Gamma(a, x) by Legendre's continued fraction (modified Lentz), for x well above a."""
    tiny = mpf(10) ** (-2 * mp.dps)
    b = x + 1 - a
    c, d = 1 / tiny, 1 / b
    h = d
    for i in range(1, 10**6):
        an = -i * (i - a)
        b += 2
        d = an * d + b
        d = 1 / (d if d != 0 else tiny)
        c = b + an / c
        c = c if c != 0 else tiny
        step = d * c
        h *= step
        if abs(step - 1) < mpf(10) ** (-mp.dps - 2):
            break
    return mpmath.exp(a * mpmath.log(x) - x) * h


def well_above(a, x):
    """x far enough above a that the continued fraction converges in a few hundred steps."""
    return x > a + 10 * mpmath.sqrt(a) + 10


def igamma(a, x):
    """P(n, x) with n = trunc(a); 0 for n <= 0 or x <= 0."""
    n = int(a)
    if n <= 0 or x <= 0:
        return mpf(0)
    if well_above(n, x):
        with mp.workdps(mp.dps + 10):
            return 1 - upper_fraction(mpf(n), x) / mpmath.gamma(n)
    return lower_regularized_series(mpf(n), x)


def igamma_dx(a, x):
    n = int(a)
    return mpmath.exp((n - 1) * mpmath.log(x) - x - mpmath.loggamma(n)) if n > 0 and x > 0 else mpf(0)


def gamma_upper(a, x):
    if x == 0:
        return mpmath.gamma(a)
    if well_above(a, x):
        return upper_fraction(a, x)
    try:
        return mpmath.gammainc(a, x)
    except mpmath.libmp.NoConvergence:
        # Gamma(a) (1 - P) with digits enough for the cancellation in 1 - P.
        with mp.workdps(mp.dps + 60):
            return mpmath.gamma(a) * (1 - lower_regularized_series(a, x))


def gamma_upper_dx(a, x):
    return -mpmath.exp((a - 1) * mpmath.log(x) - x)


def positive_series(ratio):
    """1 + t_1 + t_2 + ... with t_k = t_(k-1) ratio(k - 1), for ratios that fall below 1 and stay."""
    total, term, k = mpf(1), mpf(1), 0
    small = mpf(10) ** (-mp.dps - 5)
    while term > small * total:
        term *= ratio(k)
        total += term
        k += 1
    return total


def ibeta_lower(x, a, b):
    """x^a (1 - x)^b / (a B(a, b)) 2F1(a + b, 1; a + 1; x), for x below the mean a / (a + b),
    where the terms are positive and their ratio (a + b + k) x / (a + 1 + k) below 1."""
    log_front = a * mpmath.log(x) + b * mpmath.log1p(-x) - mpmath.log(a) - mpmath.log(mpmath.beta(a, b))
    front = mpmath.exp(log_front)
    return front * positive_series(lambda k: (a + b + k) * x / (a + 1 + k))


def series_terms(y, c, d):
    """About how many terms the series with ratio (c + k) y / (d + k) needs: the terms grow up to
    k = (c y - d) / (1 - y), then fall by about y per term."""
    y, c, d = float(y), float(c), float(d)
    if y >= 1:
        return math.inf
    return max(0.0, (c * y - d) / (1 - y)) + mp.dps * math.log(10) / -math.log(y)


def ibeta(x, a, b):
    """I_x(a, b) by the series at x, or by the symmetry 1 - I_(1-x)(b, a) where that series is
    much shorter, with the digits that the difference cancels added."""
    if a <= 0 or b <= 0:
        raise Undefined()
    if x <= 0 or x >= 1:
        return mpf(0) if x <= 0 else mpf(1)
    if series_terms(x, a + b, a + 1) <= 10 * series_terms(1 - x, a + b, b + 1):
        return ibeta_lower(x, a, b)
    extra = 10
    while extra <= 1000:
        with mp.workdps(mp.dps + extra):
            value = 1 - ibeta_lower(1 - x, b, a)
        lost = 10 - int(mpmath.log10(abs(value))) if value != 0 else 2 * extra
        if lost <= extra:
            return value
        extra = lost
    return ibeta_lower(x, a, b)


def ibeta_dx(x, a, b):
    return mpmath.exp((a - 1) * mpmath.log(x) + (b - 1) * mpmath.log1p(-x) - mpmath.log(mpmath.beta(a, b)))


# ----------------------------------------------------------------- polynomials


def polynomial(f):
    """f(n, x) of an integer degree n, as a real value."""
    return lambda n, x: mpmath.re(f(int(n), x))


REFERENCES = {
    "Mhyper": Reference(mhyper, (0, 1, 2), {2: mhyper_dx}),
    "Fhyper": Reference(fhyper, (0, 1, 2, 3), {3: fhyper_dx}),
    "Ber": Reference(lambda n, x: kelvin_complex(n, x).real, (1,),
                     {1: lambda n, x: kelvin_complex_dx(n, x).real}),
    "Bei": Reference(lambda n, x: kelvin_complex(n, x).imag, (1,),
                     {1: lambda n, x: kelvin_complex_dx(n, x).imag}),
    "Gamma": Reference(gamma_z, (0, 1), along_real_and_imaginary(gamma_derivative)),
    "LnGamma": Reference(lngamma_z, (0, 1), along_real_and_imaginary(mpmath.digamma)),
    "Gamma2": Reference(gamma_upper, (0, 1), {1: gamma_upper_dx}),
    "Igamma": Reference(igamma, (1,), {1: igamma_dx}),
    "Ibeta": Reference(ibeta, (0, 1, 2), {0: ibeta_dx}),
    "Tcheb": Reference(polynomial(mpmath.chebyt), (1,)),
    "Ucheb": Reference(polynomial(mpmath.chebyu), (1,)),
    "Her": Reference(polynomial(mpmath.hermite), (1,)),
    "Lag": Reference(polynomial(lambda n, x: mpmath.laguerre(n, 0, x)), (1,)),
    "Leg": Reference(polynomial(mpmath.legendre), (1,)),
    "Jac": Reference(lambda n, a, b, x: mpmath.re(mpmath.jacobi(int(n), a, b, x)), (1, 2, 3)),
}
