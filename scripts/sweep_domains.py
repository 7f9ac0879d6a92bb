"""Where the accuracy sweep draws its points: one list of slices per function.

DOMAINS maps a function's sweep name to its slices. A slice is a name, a number
of points and a draw: a function of a random.Random that returns one point, a
tuple of doubles in the order of the function's arguments. Every slice is drawn
from its own generator, seeded with the function's and the slice's name, so
adding a slice (or changing one) leaves the points of the others as they are,
and `scripts/accuracy_sweep.py --regenerate --only F` keeps the cached
references of every point that is still drawn.

To sweep a new region, add a Slice to the function's list; the building blocks
below combine into draws: point(...) for independent coordinates, and a small
function of its own where one coordinate depends on another.
"""

import math
from dataclasses import dataclass
from typing import Callable, Tuple

Point = Tuple[float, ...]


@dataclass(frozen=True)
class Slice:
    name: str
    count: int
    draw: Callable[..., Point]


# ------------------------------------------------------------- building blocks


def uniform(lo, hi):
    return lambda r: r.uniform(lo, hi)


def log_uniform(lo, hi):
    """A double whose logarithm is uniform in [ln lo, ln hi]."""
    return lambda r: math.exp(r.uniform(math.log(lo), math.log(hi)))


def signed(draw):
    """draw with a random sign."""
    return lambda r: math.copysign(draw(r), r.random() - 0.5)


def integer(lo, hi):
    return lambda r: float(r.randint(lo, hi))


def typed(*values):
    """One of a few numbers a person types."""
    return lambda r: float(r.choice(values))


def rounded(draw, digits):
    """draw rounded to a few decimals, as a person would type it."""
    return lambda r: round(draw(r), digits)


def either(*draws):
    """One of several draws, chosen at random for each point."""
    return lambda r: r.choice(draws)(r)


def near_integer(lo, hi, closest=1e-13, farthest=1e-3):
    """An integer in [lo, hi] plus or minus a log-uniform offset."""
    offset = signed(log_uniform(closest, farthest))
    return lambda r: r.randint(lo, hi) + offset(r)


def below_one(closest=1e-16, farthest=1e-1):
    """1 - d with d log-uniform: points approaching 1 from below."""
    gap = log_uniform(closest, farthest)
    return lambda r: 1.0 - gap(r)


def log_integer(lo, hi):
    """An integer in [lo, hi] whose logarithm is about uniform: small ones as often as large ones."""
    return lambda r: float(min(hi, int(math.exp(r.uniform(math.log(lo), math.log(hi + 1))))))


def point(*draws):
    return lambda r: tuple(float(d(r)) for d in draws)


def shuffled(draw):
    """A point whose first two coordinates are swapped half the time."""

    def shuffle(r):
        p = draw(r)
        return (p[1], p[0]) + p[2:] if r.random() < 0.5 else p

    return shuffle


# --------------------------------------------------- confluent, Mhyper(a, b, x)

TYPED_PARAMETERS = (0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 10, -0.5, -1.5, -2.5, 0.25, 0.1, 20)

MHYPER_PARAMETER = either(uniform(-30, 30), signed(log_uniform(1e-4, 30)), integer(-30, 30),
                          near_integer(-30, 0))
# b away from the poles of M; the slices at the poles draw their own.
MHYPER_B = either(uniform(-30, 30), signed(log_uniform(1e-4, 30)), integer(1, 30), near_integer(-30, 0))
MHYPER_X = either(uniform(-100, 100), uniform(-100, 100), uniform(-700, 700),
                  signed(log_uniform(1e-8, 700)))


def b_minus_a_nonpositive_integer(r):
    """b - a a non-positive integer: Kummer's transformation ends."""
    a = r.uniform(-30, 30)
    return (a, a - r.randint(0, 30), MHYPER_X(r))


def b_pole_terminating(r):
    """b a non-positive integer; a a non-positive integer above it half of the time."""
    b = r.randint(-30, 0)
    a = float(r.randint(b + 1, 0)) if r.random() < 0.5 and b < 0 else r.uniform(-30, 30)
    return (a, float(b), uniform(-100, 100)(r))


MHYPER = [
    Slice("broad", 500, point(uniform(-30, 30), uniform(-30, 30), uniform(-700, 700))),
    Slice("dense-x", 800, point(MHYPER_PARAMETER, MHYPER_B, uniform(-100, 100))),
    Slice("log-x", 300, point(MHYPER_PARAMETER, MHYPER_B, signed(log_uniform(1e-8, 700)))),
    Slice("typed", 400, point(either(rounded(uniform(-30, 30), 1), typed(*TYPED_PARAMETERS)),
                              either(rounded(uniform(-30, 30), 1), typed(*TYPED_PARAMETERS)),
                              either(integer(-100, 100), rounded(uniform(-60, 60), 1)))),
    Slice("a-nonpositive-integer", 250, point(integer(-30, 0), MHYPER_B, MHYPER_X)),
    Slice("a-near-integer", 250, point(near_integer(-30, 0), MHYPER_B, MHYPER_X)),
    Slice("b-near-integer", 250, point(MHYPER_PARAMETER, near_integer(-30, 0), MHYPER_X)),
    Slice("b-nonpositive-integer", 150, b_pole_terminating),
    Slice("b-a-nonpositive-integer", 200, b_minus_a_nonpositive_integer),
    Slice("small-parameters", 150, point(signed(log_uniform(1e-8, 1)), signed(log_uniform(1e-8, 1)),
                                         MHYPER_X)),
]

# ---------------------------------------------------- Gauss, Fhyper(a, b, c, x)

FHYPER_PARAMETER = either(uniform(-30, 30), signed(log_uniform(1e-4, 30)), integer(-30, 30))
# c away from the poles of 2F1; the slices at the poles draw their own.
FHYPER_C = either(uniform(-30, 30), signed(log_uniform(1e-4, 30)), integer(1, 30))
FHYPER_X = either(uniform(-1, 1), uniform(-1, 1), below_one(), lambda r: -below_one()(r))


def c_minus_a_minus_b_near_integer(r):
    """c - a - b an integer (a quarter of the time) or within 1e-13..1e-3 of one."""
    a, b = r.uniform(-30, 30), r.uniform(-30, 30)
    d = r.randint(-10, 10) + (0.0 if r.random() < 0.25 else signed(log_uniform(1e-13, 1e-3))(r))
    return (a, b, a + b + d, FHYPER_X(r))


def c_minus_a_nonpositive_integer(r):
    """c - a a non-positive integer: Euler's transformation ends."""
    a, b = r.uniform(-30, 30), FHYPER_PARAMETER(r)
    return shuffled(lambda r: (a, b, a - r.randint(0, 20), FHYPER_X(r)))(r)


def c_pole(r):
    """c a non-positive integer; a non-positive integer a above it half of the time."""
    c = r.randint(-30, 0)
    a = float(r.randint(c + 1, 0)) if r.random() < 0.5 and c < 0 else FHYPER_PARAMETER(r)
    return shuffled(lambda r: (a, FHYPER_PARAMETER(r), float(c), uniform(-1, 1)(r)))(r)


def within_integer_rules(r):
    """A parameter (a, c, c - a, or b against c) within 1e-13 of a non-positive integer or of c, but not
    equal: from one unit of its last place to 1e-13 away, and near 0 from 1e-300 to 1e-13."""

    def near(v):
        closest = math.ulp(v) if v != 0 else 1e-300
        return v + signed(log_uniform(closest, 1e-13))(r)

    def nonpositive_integer():
        return 0.0 if r.random() < 0.25 else float(r.randint(-30, -1))

    a, b, c, x = FHYPER_PARAMETER(r), FHYPER_PARAMETER(r), FHYPER_C(r), FHYPER_X(r)
    kind = r.randrange(4)
    if kind == 0:
        a = near(nonpositive_integer())
    elif kind == 1:
        c = near(nonpositive_integer())
    elif kind == 2:
        c = near(a - r.randint(0, 20))
    else:
        b = near(c)
    return (a, b, c, x) if r.random() < 0.5 else (b, a, c, x)


FHYPER = [
    Slice("broad", 600, point(uniform(-30, 30), uniform(-30, 30), uniform(-30, 30), uniform(-1, 1))),
    Slice("moderate", 300, point(uniform(-10, 10), uniform(-10, 10), uniform(-10, 10), FHYPER_X)),
    Slice("large-parameters", 250, point(uniform(-100, 100), uniform(-100, 100), uniform(-100, 100),
                                         FHYPER_X)),
    Slice("typed", 300, point(either(rounded(uniform(-30, 30), 1), typed(*TYPED_PARAMETERS)),
                              either(rounded(uniform(-30, 30), 1), typed(*TYPED_PARAMETERS)),
                              either(rounded(uniform(-30, 30), 1), typed(*TYPED_PARAMETERS)),
                              either(rounded(uniform(-0.99, 0.99), 2), typed(0.5, -0.5, 0.9, 0.99, -0.9)))),
    Slice("near-plus-one", 400, point(FHYPER_PARAMETER, FHYPER_PARAMETER, FHYPER_C,
                                      below_one(1e-15, 1e-1))),
    Slice("near-minus-one", 300, point(FHYPER_PARAMETER, FHYPER_PARAMETER, FHYPER_C,
                                       lambda r: -below_one(1e-15, 1e-1)(r))),
    Slice("terminating", 250, shuffled(point(integer(-30, 0), FHYPER_PARAMETER, FHYPER_C,
                                             FHYPER_X))),
    Slice("near-integer-parameters", 300, point(either(near_integer(-30, 30), FHYPER_PARAMETER),
                                                either(near_integer(-30, 30), FHYPER_PARAMETER),
                                                near_integer(-30, 30), FHYPER_X)),
    Slice("c-nonpositive-integer", 100, c_pole),
    Slice("c-a-b-near-integer", 300, c_minus_a_minus_b_near_integer),
    Slice("c-a-nonpositive-integer", 100, c_minus_a_nonpositive_integer),
    Slice("small-x", 100, point(FHYPER_PARAMETER, FHYPER_PARAMETER, FHYPER_C,
                                signed(log_uniform(1e-17, 1e-2)))),
    Slice("within-integer-rules", 200, within_integer_rules),
]

# ------------------------------------------------- Kelvin, Ber(n, x), Bei(n, x)


def order_near_argument(r):
    """The order near the argument, where the series' terms turn from growing to falling."""
    n = r.randint(10, 300)
    return (float(n), signed(uniform(0.5 * n, 1.5 * n))(r))


KELVIN = [
    Slice("small-x", 700, point(integer(0, 20), signed(either(log_uniform(1e-6, 10), uniform(0, 10))))),
    Slice("large-x", 600, point(integer(0, 10), signed(either(uniform(10, 1000), log_uniform(10, 1000))))),
    Slice("high-order", 600, point(integer(0, 1000), signed(uniform(0, 300)))),
    Slice("order-near-x", 150, order_near_argument),
    Slice("typed", 150, point(integer(0, 10), signed(either(rounded(uniform(0, 100), 1), integer(0, 100))))),
    # Where the power series hands over (its error estimate, |x| = 22 and 80) and up to past the double
    # range at every order (from |x| = 1010 at order 0 to about 1390 at order 1000).
    Slice("hand-over", 300, point(integer(0, 60), signed(uniform(15, 90)))),
    Slice("to-the-range", 300, point(integer(0, 1000), signed(uniform(300, 1500)))),
]

# ------------------------------------------------------- gamma family: Gamma(z)


def real_axis(draw):
    return lambda r: (draw(r), 0.0)


def polar(modulus):
    """x + iy of a given modulus and a uniform angle."""

    def draw(r):
        m, t = modulus(r), r.uniform(-math.pi, math.pi)
        return (m * math.cos(t), m * math.sin(t))

    return draw


GAMMA_Z = [
    Slice("real", 300, real_axis(uniform(-180, 180))),
    Slice("real-typed", 100, real_axis(either(rounded(uniform(-50, 180), 1),
                                              typed(0.5, 1.5, 2.5, -0.5, -1.5)))),
    Slice("near-poles", 150, real_axis(near_integer(-170, 0))),
    Slice("near-positive-integers", 100, real_axis(near_integer(1, 171))),
    Slice("tiny", 100, real_axis(signed(log_uniform(5e-324, 1e-3)))),
    Slice("complex", 400, point(uniform(-180, 180), signed(log_uniform(1e-8, 300)))),
    Slice("complex-near-poles", 100, point(near_integer(-170, 0), signed(log_uniform(1e-13, 1e-3)))),
    Slice("large-imaginary", 150, point(uniform(-20, 20), signed(uniform(100, 600)))),
    Slice("polar", 100, polar(log_uniform(1e-3, 1000))),
]

# --------------------------------------------------------- LnGamma(z), complex

NEAR_ZERO = signed(log_uniform(1e-15, 1e-2))

LNGAMMA = [
    Slice("real-positive", 400, real_axis(log_uniform(1e-300, 1e300))),
    Slice("real-moderate", 150, real_axis(either(uniform(0, 20), rounded(uniform(0, 20), 1)))),
    Slice("real-negative", 200, real_axis(lambda r: -log_uniform(1e-10, 1e6)(r))),
    Slice("near-one-two", 150, real_axis(either(lambda r: 1 + NEAR_ZERO(r), lambda r: 2 + NEAR_ZERO(r)))),
    Slice("near-poles", 100, real_axis(near_integer(-1000, 0))),
    Slice("complex", 400, polar(log_uniform(1e-3, 1e6))),
    Slice("complex-huge", 100, polar(log_uniform(1e6, 1e300))),
    Slice("complex-near-poles", 100, point(near_integer(-100, 0), signed(log_uniform(1e-13, 1e-3)))),
]

# ------------------------------------------------- upper incomplete Gamma(a, x)


def around_order(order, spread):
    """(a, x) with x within spread standard deviations of a, where the methods meet."""

    def draw(r):
        a = order(r)
        return (a, max(0.0, a + r.uniform(-spread, spread) * math.sqrt(a)))

    return draw


GAMMA_UPPER = [
    Slice("broad", 500, point(log_uniform(1e-12, 1e4), log_uniform(1e-12, 1e4))),
    Slice("transition", 300, around_order(log_uniform(0.1, 1e4), 6)),
    Slice("small", 200, point(log_uniform(1e-12, 1e-2), log_uniform(1e-12, 1e-2))),
    Slice("typed", 200, point(either(rounded(uniform(0.1, 20), 1), integer(1, 50)),
                              either(integer(0, 100), rounded(uniform(0, 30), 1)))),
    Slice("x-zero", 50, point(log_uniform(1e-12, 200), typed(0))),
    Slice("large-a", 150, point(log_uniform(170, 1e5), log_uniform(1e-12, 1e5))),
    Slice("large-x", 100, point(log_uniform(0.1, 100), log_uniform(100, 1e5))),
]

# ------------------------------------------- regularized lower P(trunc(a), x)

IGAMMA = [
    Slice("broad", 400, point(log_integer(1, 10**7), log_uniform(1e-10, 1e7))),
    Slice("transition", 400, around_order(log_integer(1, 10**7), 6)),
    Slice("small-orders", 300, point(integer(1, 60), uniform(0, 100))),
    Slice("truncated-orders", 200, point(uniform(-5, 60), log_uniform(1e-3, 100))),
    Slice("typed", 100, point(integer(1, 20), either(integer(0, 50), rounded(uniform(0, 30), 1)))),
    Slice("tiny-x", 100, point(integer(1, 10), log_uniform(1e-300, 1e-3))),
]

# ---------------------------------------------------- incomplete beta I_x(a, b)


def near_mean(parameter, spread):
    """(x, a, b) with x within spread standard deviations of the mean a / (a + b)."""

    def draw(r):
        a, b = parameter(r), parameter(r)
        mean = a / (a + b)
        sd = math.sqrt(a * b / ((a + b) ** 2 * (a + b + 1)))
        x = mean + r.uniform(-spread, spread) * sd
        if not 0 < x < 1:
            x = mean * r.random() if x <= 0 else 1 - (1 - mean) * r.random()
        return (x, a, b)

    return draw


IBETA_ENDS = either(log_uniform(1e-300, 1e-2), lambda r: 1.0 - log_uniform(1e-16, 1e-2)(r))

IBETA = [
    Slice("broad", 400, point(uniform(0, 1), log_uniform(1e-6, 1e6), log_uniform(1e-6, 1e6))),
    Slice("near-mean", 300, near_mean(log_uniform(1e-2, 1e6), 5)),
    Slice("small-parameters", 200, shuffled(point(log_uniform(1e-6, 1e-1), log_uniform(1e-6, 1e3),
                                                  uniform(0, 1)))),
    Slice("ends", 200, point(IBETA_ENDS, log_uniform(1e-3, 1e3), log_uniform(1e-3, 1e3))),
    Slice("moderate", 250, point(uniform(0, 1), uniform(0, 50), uniform(0, 50))),
    Slice("typed", 150, point(rounded(uniform(0, 1), 2), either(integer(1, 20), rounded(uniform(0, 20), 1)),
                              either(integer(1, 20), rounded(uniform(0, 20), 1)))),
]

# -------------------------------------------------------- orthogonal polynomials

DEGREE = either(integer(0, 1000), log_integer(1, 1000))
UNIT_ENDS = signed(below_one(1e-16, 1e-1))


def beyond_one(degrees, reach=720):
    """A degree n and a point x = +-cosh(t) beyond 1 in size, up to where e^(n t), the growth of
    T_n, P_n and P_n^(a,b) there, passes e^reach (the double range ends at e^709.8)."""

    def draw(r):
        n = degrees(r)
        t = r.uniform(0, min(700, reach / max(n, 1)))
        return (n, math.copysign(math.cosh(t), r.random() - 0.5))

    return draw


def large_x(degrees, decades=320):
    """A degree n and a point |x| >= 1 up to where x^n passes 10^decades."""

    def draw(r):
        n = degrees(r)
        return (n, signed(lambda r: 10 ** r.uniform(0, min(300, decades / max(n, 1))))(r))

    return draw


CHEBYSHEV_LEGENDRE = [
    Slice("inside", 400, point(DEGREE, uniform(-1, 1))),
    Slice("near-ends", 200, point(DEGREE, UNIT_ENDS)),
    Slice("outside", 300, beyond_one(DEGREE)),
    Slice("large-x", 150, large_x(log_integer(1, 1000))),
    Slice("typed", 150, point(integer(0, 20), rounded(uniform(-3, 3), 1))),
]


def hermite_point(degrees, low, high):
    """A degree and a point between low and high times the turning point sqrt(2n + 1)."""

    def draw(r):
        n = degrees(r)
        return (n, signed(uniform(low, high))(r) * math.sqrt(2 * n + 1))

    return draw


# H_n stays within the double range up to about degree 270 between its turning points.
HERMITE_DEGREE = either(integer(0, 300), log_integer(1, 300))

HERMITE = [
    Slice("oscillatory", 400, hermite_point(HERMITE_DEGREE, 0, 1.1)),
    Slice("high-degree", 100, hermite_point(integer(300, 1000), 0, 1.1)),
    Slice("beyond-turning-point", 250, hermite_point(HERMITE_DEGREE, 1, 3)),
    Slice("large-x", 200, large_x(DEGREE)),
    Slice("small-x", 150, point(DEGREE, signed(log_uniform(1e-10, 1)))),
    Slice("typed", 150, point(integer(0, 20), rounded(uniform(-6, 6), 1))),
]


def laguerre_point(degrees, low, high, limit):
    """A degree and a point between low and high times 4n + 2, beyond which L_n has no zero,
    and below limit (L_n grows like e^(x/2): the double range ends near x = 1420)."""

    def draw(r):
        n = degrees(r)
        lo = low * (4 * n + 2)
        return (n, r.uniform(lo, max(lo, min(high * (4 * n + 2), limit))))

    return draw


LAGUERRE = [
    Slice("oscillatory", 400, laguerre_point(DEGREE, 0, 1, 1500)),
    Slice("beyond-largest-zero", 200, laguerre_point(log_integer(1, 350), 1, 5, 3000)),
    Slice("negative-x", 200, point(DEGREE, lambda r: -log_uniform(1e-6, 1e4)(r))),
    Slice("large-x", 150, large_x(DEGREE, 2000)),
    Slice("small-x", 100, point(DEGREE, log_uniform(1e-10, 1))),
    Slice("typed", 150, point(integer(0, 20), rounded(uniform(-5, 30), 1))),
]

JACOBI_PARAMETER = either(uniform(-0.99, 30), lambda r: -1 + log_uniform(1e-10, 1e-1)(r),
                          typed(-0.5, 0, 0.5, 1, 1.5, 2, 3))


def with_parameters(draw, parameter):
    """(n, alpha, beta, x) from a draw of (n, x)."""

    def combined(r):
        n, x = draw(r)
        return (n, parameter(r), parameter(r), x)

    return combined


JACOBI = [
    Slice("inside", 400, point(DEGREE, JACOBI_PARAMETER, JACOBI_PARAMETER, uniform(-1, 1))),
    Slice("near-ends", 200, point(DEGREE, JACOBI_PARAMETER, JACOBI_PARAMETER, UNIT_ENDS)),
    Slice("outside", 200, with_parameters(beyond_one(DEGREE), JACOBI_PARAMETER)),
    Slice("large-parameters", 150, point(DEGREE, log_uniform(1, 100), log_uniform(1, 100),
                                         either(uniform(-1, 1), UNIT_ENDS))),
    Slice("typed", 150, point(integer(0, 20), typed(-0.5, 0, 0.5, 1, 2, 2.5), typed(-0.5, 0, 0.5, 1, 2, 3),
                              rounded(uniform(-1.5, 1.5), 1))),
    Slice("parameters-outside", 50, point(integer(0, 20), uniform(-3, 2), uniform(-3, -1), uniform(-1, 1))),
]

DOMAINS = {
    "Mhyper": MHYPER,
    "Fhyper": FHYPER,
    "Ber": KELVIN,
    "Bei": KELVIN,
    "Gamma": GAMMA_Z,
    "LnGamma": LNGAMMA,
    "Gamma2": GAMMA_UPPER,
    "Igamma": IGAMMA,
    "Ibeta": IBETA,
    "Tcheb": CHEBYSHEV_LEGENDRE,
    "Ucheb": CHEBYSHEV_LEGENDRE,
    "Leg": CHEBYSHEV_LEGENDRE,
    "Her": HERMITE,
    "Lag": LAGUERRE,
    "Jac": JACOBI,
}
