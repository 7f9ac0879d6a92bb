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
]

DOMAINS = {
    "Mhyper": MHYPER,
    "Fhyper": FHYPER,
    "Ber": KELVIN,
    "Bei": KELVIN,
}
