#include "numeric/hypergeometric/confluent_extended.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/core/double_double.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// The x87 extended format: 64-bit significand, exponent range to 1e+-4932,
// so that e^x, e^-x and the terms of every series below stay in range.
using Wide = long double;

constexpr Wide kUnit = 0x1p-64L;               // unit roundoff of the extended format
constexpr Wide kDoubleDoubleUnit = 0x1p-104L;  // of a pair of doubles, with room for a few roundings
constexpr Wide kAcceptedError = 0x1p-47L;      // 32 units of a double, relative
constexpr Wide kRescale = 0x1p-8000L;          // keeps the recurrence solutions in range
constexpr int kRescaleExponent = 8000;
constexpr Wide kMostSteps = 30000.0L;             // of a series or a recurrence
constexpr Wide kMostDoubleDoubleTerms = 4000.0L;  // of a series in double-doubles
constexpr int kStartAttempts = 6;                 // starts of the recurrence in a tried
// The relative error of a series of a few hundred terms that does not
// cancel, and that of a series in extended precision that double-doubles
// cannot bring below kAcceptedError.
constexpr Wide kSeriesErrorFloor = 0x1p-53L;
constexpr Wide kHopelessError = 0.01L;

// Double-doubles (numeric/core) carry the series whose terms cancel to 1e-14
// of their size. Their sums and quotients here take the shorter forms below:
// one renormalisation per sum, one step of long division per quotient, whose
// roundings the series' error bounds count.
DoubleDouble shortSum(const DoubleDouble& x, const DoubleDouble& y) {
    const DoubleDouble s = twoSum(x.hi, y.hi);
    return quickTwoSum(s.hi, s.lo + x.lo + y.lo);
}

DoubleDouble shortQuotient(const DoubleDouble& x, const DoubleDouble& y) {
    const double q1 = x.hi / y.hi;
    const DoubleDouble p = twoProduct(y.hi, q1);
    const double r = ((x.hi - p.hi) - (p.lo + y.lo * q1)) + x.lo;
    return quickTwoSum(q1, r / y.hi);
}

Wide toWide(Wide v) {
    return v;
}
Wide toWide(const DoubleDouble& v) {
    return static_cast<Wide>(v.hi) + static_cast<Wide>(v.lo);
}

// The unit roundoff behind the error bound of a series summed in Number,
// and the most terms it takes: double-doubles serve the series that cancel,
// of at most a few hundred terms in the domain of the function page.
Wide unitOf(Wide) {
    return kUnit;
}
Wide unitOf(const DoubleDouble&) {
    return kDoubleDoubleUnit;
}
Wide mostTermsOf(Wide) {
    return kMostSteps;
}
Wide mostTermsOf(const DoubleDouble&) {
    return kMostDoubleDoubleTerms;
}

// A value F = M(alpha, b, z), a bound on the absolute error of its
// computed value, and z dF/dz, from which the accuracy the result needs
// follows: the sensitivity of M to its argument.
struct Estimate {
    Wide value;
    Wide error;
    Wide slope;
};

constexpr Estimate kFailed{0.0L, INFINITY, 0.0L};

// The error of an estimate against the accuracy its value needs: below 1
// when it is within kAcceptedError of the value, or of its change under a
// relative change of the argument, whichever is larger (the result then
// has an error within the condition number's share). `kummer` says that
// the result is e^-z F, whose sensitivity to z is z F' / F - z.
Wide errorRatio(const Estimate& f, Wide z, bool kummer) {
    const Wide sensitivity = std::fabs(kummer ? f.slope - z * f.value : f.slope);
    const Wide ratio = f.error / (kAcceptedError * (std::fabs(f.value) + sensitivity));
    return std::isfinite(f.value) && std::isfinite(ratio) ? ratio : INFINITY;
}

bool isNonPositiveInteger(Wide v) {
    return v <= 0 && v == std::floor(v);
}

// Terms the power series may take before giving up: its terms grow until
// k is about z + |alpha|, and fall below the unit roundoff within a few
// multiples of that.
Wide termLimit(Wide alpha, Wide b, Wide z) {
    return std::fmin(kMostSteps, 64.0L + 4.0L * (std::fabs(z) + std::fabs(alpha) + std::fabs(b)));
}

// x + k, x * y and the like, in Wide or in double-doubles: the arithmetic
// the series below is written in; `leading` is the leading part, in the
// plain type of the bookkeeping.
Wide leading(Wide x) {
    return x;
}
double leading(const DoubleDouble& x) {
    return x.hi;
}
Wide plus(Wide x, Wide k) {
    return x + k;
}
DoubleDouble plus(const DoubleDouble& x, double k) {
    const DoubleDouble s = twoSum(x.hi, k);
    return quickTwoSum(s.hi, s.lo + x.lo);
}
Wide times(Wide x, Wide y) {
    return x * y;
}
DoubleDouble times(const DoubleDouble& x, double y) {
    const DoubleDouble p = twoProduct(x.hi, y);
    return quickTwoSum(p.hi, p.lo + x.lo * y);
}
Wide ratioOf(Wide term, Wide numerator, Wide denominator) {
    return term * (numerator / denominator);
}
DoubleDouble ratioOf(const DoubleDouble& term, const DoubleDouble& numerator,
                     const DoubleDouble& denominator) {
    return shortQuotient(term * numerator, denominator);
}
Wide sumOf(Wide x, Wide y) {
    return x + y;
}
DoubleDouble sumOf(const DoubleDouble& x, const DoubleDouble& y) {
    return shortSum(x, y);
}
Wide exactSum(Wide b, Wide k) {
    return b + k;
}
DoubleDouble exactSum(double b, double k) {
    return twoSum(b, k);
}

// The power series sum (alpha)_k / (b)_k z^k / k!, b not a non-positive
// integer that the series reaches, summed in Number (Wide or DoubleDouble).
// The error bound counts six roundings per term ratio, so the k-th term
// carries a relative error of at most 6k units, and the rounding of every
// partial sum. Once alpha + k and b + k are positive the remaining terms
// keep their sign, so that their part of the bound follows from their sum
// (K the last k): at most 6K |their sum| + (their count) max |s_k|. Their
// ratios are then at most |z| max(1, (alpha + k + 1) / (b + k + 1)) / (k + 2),
// which bounds the tail geometrically; the sum stops once that bound is
// below the rounding's.
template <class Number>
Estimate powerSeries(const Number& alpha, Wide wideB, Wide wideZ) {
    using Real = decltype(leading(alpha));  // of the bookkeeping: Wide, or double for double-doubles
    const Real b = static_cast<Real>(wideB);
    const Real z = static_cast<Real>(wideZ);
    const Real unit = static_cast<Real>(unitOf(alpha));
    Number term = Real(1);
    Number sum = Real(1);
    Real slope = 0;     // sum of k t_k = z dF/dz
    Real rounding = 1;  // sum of 6k |t_k| + |s_k|
    const Real limit =
        static_cast<Real>(std::fmin(mostTermsOf(alpha), termLimit(toWide(alpha), wideB, wideZ)));
    Real k = 0;
    // The terms whose sign may still change.
    for (;;) {
        if (k >= limit) return kFailed;
        const Number ak = plus(alpha, k);
        const Real a = leading(ak);
        if (a == 0) return {toWide(sum), unit * rounding, slope};  // the polynomial has ended
        const Number bk = exactSum(b, k);
        if (a > 0 && leading(bk) > 0) break;
        k += 1;
        term = ratioOf(term, times(ak, z), times(bk, k));
        sum = sumOf(sum, term);
        slope += k * leading(term);
        rounding += 6 * k * std::fabs(leading(term)) + std::fabs(leading(sum));
    }
    // The terms of one sign.
    const Real before = leading(sum);
    const Real first = k;
    while (k < limit) {
        const Number ak = plus(alpha, k);
        const Number bk = exactSum(b, k);
        k += 1;
        term = ratioOf(term, times(ak, z), times(bk, k));
        sum = sumOf(sum, term);
        slope += k * leading(term);
        const Real t = std::fabs(leading(term));
        if (t <= unit * (rounding + std::fabs(leading(sum)))) {
            const Real growth = (leading(ak) + 1) / (leading(bk) + 1);  // (alpha + k) / (b + k)
            const Real ratio = std::fabs(z) * (growth > 1 ? growth : Real(1)) / (k + 1);
            const Real after = leading(sum);
            const Real bound = rounding + 6 * k * std::fabs(after - before) +
                               (k - first) * std::fmax(std::fabs(before), std::fabs(after));
            if (ratio < 1 && t * ratio / (1 - ratio) <= unit * bound) {
                return {toWide(sum), 2 * unit * bound, slope};
            }
        }
    }
    return kFailed;
}

// The series for alpha >= 0, b > 0 and z > 0, whose terms are all
// positive: the k-th carries a relative error of at most 6k units, so the
// sum of K terms one of at most 7K units. Its slope is left out (0): the
// bound is accurate enough without the allowance the slope would give.
Estimate positiveSeries(Wide alpha, Wide b, Wide z) {
    Wide term = 1.0L;
    Wide sum = 1.0L;
    const Wide limit = termLimit(alpha, b, z);
    for (Wide k = 0.0L; k < limit;) {
        const Wide a = alpha + k;
        const Wide c = b + k;
        k += 1.0L;
        term = term * ((a * z) / (c * k));
        sum = sum + term;
        if (term <= kUnit * sum) {
            const Wide growth = (a + 1.0L) / (c + 1.0L);
            const Wide ratio = z * (growth > 1.0L ? growth : 1.0L) / (k + 1.0L);
            if (ratio < 1.0L && term * ratio / (1.0L - ratio) <= kUnit * sum) {
                return {sum, 8.0L * k * kUnit * sum, 0.0L};
            }
        }
    }
    return kFailed;
}

// Two independent solutions of a three-term recurrence, started from the
// unit vectors, and the power of two they were scaled by.
struct UnitSolutions {
    Wide first = 1.0L;  // 1 at the start, 0 one step before it
    Wide firstPrevious = 0.0L;
    Wide second = 0.0L;  // 0 at the start, 1 one step before it
    Wide secondPrevious = 1.0L;
    int exponent = 0;
    int steps = 0;

    // One step: the new value is p * current + q * previous.
    void step(Wide p, Wide q) {
        const Wide f = p * first + q * firstPrevious;
        const Wide s = p * second + q * secondPrevious;
        firstPrevious = first;
        first = f;
        secondPrevious = second;
        second = s;
        ++steps;
        if (std::fabs(first) + std::fabs(second) > 1.0L / kRescale) {
            first *= kRescale;
            firstPrevious *= kRescale;
            second *= kRescale;
            secondPrevious *= kRescale;
            exponent += kRescaleExponent;
        }
    }

    // The value of the solution that starts from `start` and, one step
    // before it, `before`, given the unit solutions' values u and v there:
    // the errors of the start carried along, plus the roundings of the
    // steps, each of which the later steps amplify at most as much as the
    // first.
    Estimate combine(const Estimate& start, const Estimate& before, Wide u, Wide v) const {
        const Wide part1 = start.value * u;
        const Wide part2 = before.value * v;
        const Wide carried = start.error * std::fabs(u) + before.error * std::fabs(v);
        const Wide rounding = 4.0L * (steps + 1) * kUnit * (std::fabs(part1) + std::fabs(part2));
        return {std::ldexp(part1 + part2, exponent), std::ldexp(carried + rounding, exponent), 0.0L};
    }
    Estimate current(const Estimate& start, const Estimate& before) const {
        return combine(start, before, first, second);
    }
    Estimate previous(const Estimate& start, const Estimate& before) const {
        return combine(start, before, firstPrevious, secondPrevious);
    }
};

// M(alpha, b, z) and M(alpha + 1, b, z), each with its error.
struct Adjacent {
    Estimate value;
    Estimate above;
};

// From M(alpha1, b, z) and M(alpha1 + 1, b, z), `steps` steps down in the
// first parameter: (b - a) M(a - 1) = a M(a + 1) - (2a - b + z) M(a).
// z dM/dz = a (M(a + 1) - M(a)).
Adjacent downInA(const Estimate& atStart, const Estimate& above, Wide alpha1, int steps, Wide b, Wide z) {
    UnitSolutions unit;
    Wide a = alpha1;
    for (int i = 0; i < steps; ++i) {
        const Wide d = b - a;
        unit.step(-(2.0L * a - b + z) / d, a / d);
        a -= 1.0L;
    }
    Adjacent out{unit.current(atStart, above), unit.previous(atStart, above)};
    out.value.slope = a * (out.above.value - out.value.value);
    return out;
}

// From M(alpha, b1, z) and M(alpha, b1 + 1, z), `steps` steps down in the
// second parameter: b (b - 1) M(b - 1) = b (b - 1 + z) M(b) - z (b - alpha) M(b + 1).
// z dM/dz = z (M(b) - (1 - alpha / b) M(b + 1)).
Estimate downInB(const Estimate& atStart, const Estimate& above, Wide alpha, Wide b1, int steps, Wide z) {
    UnitSolutions unit;
    Wide b = b1;
    for (int i = 0; i < steps; ++i) {
        const Wide d = b * (b - 1.0L);
        unit.step(b * (b - 1.0L + z) / d, -z * (b - alpha) / d);
        b -= 1.0L;
    }
    Estimate e = unit.current(atStart, above);
    e.slope = z * (e.value - (1.0L - alpha / b) * unit.previous(atStart, above).value);
    return e;
}

// The series in extended precision, and summed again in double-doubles
// where its relative error is above `wanted`, but not so far above
// (kHopelessError) that 40 more bits cannot bring it down.
Estimate accurateSeries(const DoubleDouble& alpha, Wide b, Wide z, Wide wanted) {
    const Wide a = toWide(alpha);
    if (a >= 0.0L && b > 0.0L) return positiveSeries(a, b, z);
    const Estimate wide = powerSeries(a, b, z);
    const Wide relative = wide.error / std::fabs(wide.value);
    if (relative <= wanted || !(relative <= kHopelessError)) return wide;
    const Estimate pair = powerSeries(alpha, b, z);
    return pair.error < wide.error ? pair : wide;
}

// The series at a start of the recurrence in a, near the turning point,
// where in extended precision it mostly cancels too much: in
// double-doubles, unless its terms are all positive (or leave the double
// range).
Estimate startSeries(const DoubleDouble& alpha, Wide b, Wide z) {
    const Wide a = toWide(alpha);
    if (a >= 0.0L && b > 0.0L) return positiveSeries(a, b, z);
    const Estimate pair = powerSeries(alpha, b, z);
    return std::isfinite(pair.error) ? pair : powerSeries(a, b, z);
}

// M(alpha, b, z) for z > 0 and b > 0, and with `withAbove` also
// M(alpha + 1, b, z).
//
// alpha >= 0: every term of the series is positive; it is accurate.
// alpha < 0: the terms alternate until k passes -alpha. Beyond the turning
// point alpha_t = -(z - b)^2 / (4z) M grows like e^z, and the alternating
// terms are small against it: the series serves. Inside, M oscillates in
// alpha and its series cancels: summed in double-doubles it still serves
// where it cancels to 1e-14. Beyond that the recurrence in a takes over:
// downwards it is unstable outside the turning point and close to neutral
// inside, so it starts near alpha_t, and moves its start down (where the
// recurrence amplified) or up (where the start's series cancelled) while
// that helps, a few times. The start stays below b, where the recurrence
// would divide by b - a = 0. A polynomial (alpha a negative integer) has no
// exponential part and the recurrence is stable all the way down from
// M(-1) = 1 - z/b and M(0) = 1.
Adjacent positiveB(const DoubleDouble& alpha, Wide b, Wide z, bool kummer, bool withAbove) {
    const Wide a = toWide(alpha);
    const auto seriesPair = [&](const Estimate& value) {
        const DoubleDouble up = shortSum(alpha, DoubleDouble(1.0));
        return Adjacent{value, withAbove ? startSeries(up, b, z) : kFailed};
    };
    if (a >= 0.0L) return seriesPair(positiveSeries(a, b, z));
    const Wide highest = std::fmin(std::ceil(b - a) - 1.0L, std::ceil(-a) - 1.0L);  // start below b and 0
    if (isNonPositiveInteger(a)) {
        if (highest <= 0.0L) return seriesPair(powerSeries(a, b, z));
        if (highest > kMostSteps) return {kFailed, kFailed};
        const Estimate start = powerSeries(-1.0L, b, z);
        const Estimate above{1.0L, 0.0L, 0.0L};
        return downInA(start, above, -1.0L, static_cast<int>(highest), b, z);
    }
    Adjacent best{accurateSeries(alpha, b, z, kAcceptedError), kFailed};
    Wide bestRatio = errorRatio(best.value, z, kummer);
    if (bestRatio <= 1.0L) return withAbove ? seriesPair(best.value) : best;
    const Wide turning = -(z - b) * (z - b) / (4.0L * z);
    Wide bestSteps = 0.0L;
    Wide steps = std::fmax(1.0L, std::fmin(highest, std::ceil(turning - a)));
    for (int attempt = 0; attempt < kStartAttempts && steps >= 1.0L && steps <= highest; ++attempt) {
        if (steps > kMostSteps) return {kFailed, kFailed};
        const DoubleDouble alpha1 = shortSum(alpha, DoubleDouble(static_cast<double>(steps)));
        const Estimate start = startSeries(alpha1, b, z);
        const Estimate above = startSeries(shortSum(alpha1, DoubleDouble(1.0)), b, z);
        const Adjacent e = downInA(start, above, toWide(alpha1), static_cast<int>(steps), b, z);
        const Wide ratio = errorRatio(e.value, z, kummer);
        if (ratio <= 1.0L) return e;
        const Wide previousSteps = bestSteps;
        if (ratio < bestRatio) {
            best = e;
            bestRatio = ratio;
            bestSteps = steps;
        }
        if (attempt == 0) {
            // A start whose series still cancels moves up; otherwise the
            // recurrence amplified, and the start moves down.
            const bool cancelled = start.error > kSeriesErrorFloor * std::fabs(start.value);
            steps += cancelled ? 1.0L : -1.0L;
        } else {
            // Further on in the direction that helped, else the other way.
            const Wide direction = bestSteps == steps ? steps - previousSteps : bestSteps - steps;
            steps = bestSteps + (direction > 0.0L ? 1.0L : -1.0L);
            if (steps == previousSteps) break;
        }
    }
    return withAbove && bestSteps == 0.0L ? seriesPair(best.value) : best;
}

// M(alpha, b, z) for z > 0 and b < 0, b not an integer: the series in
// extended precision or in double-doubles; where both cancel too much, the
// recurrence in b, which is stable downwards (M is its dominant solution
// there), from b1 = b + n in (1, 2] and b1 + 1. Those two come from
// M(alpha, b1 + 1, z) and M(alpha + 1, b1 + 1, z):
// b1 M(alpha, b1) = alpha M(alpha + 1, b1 + 1) - (alpha - b1) M(alpha, b1 + 1).
Estimate negativeB(const DoubleDouble& alpha, Wide b, Wide z, bool kummer) {
    const Estimate direct = accurateSeries(alpha, b, z, kAcceptedError);
    if (errorRatio(direct, z, kummer) <= 1.0L) return direct;
    const Wide steps = std::ceil(-b) + 1.0L;
    if (steps > kMostSteps) return kFailed;
    const Wide b1 = b + steps;
    const Wide a = toWide(alpha);
    const Adjacent up = positiveB(alpha, b1 + 1.0L, z, kummer, true);
    const Estimate start{(a * up.above.value - (a - b1) * up.value.value) / b1,
                         (std::fabs(a) * up.above.error + std::fabs(a - b1) * up.value.error) / b1, 0.0L};
    const Estimate e = downInB(start, up.value, a, b1, static_cast<int>(steps), z);
    return errorRatio(direct, z, kummer) < errorRatio(e, z, kummer) ? direct : e;
}

// Whether one term of the series, whose terms are all positive (alpha >= 0,
// b > 0, z > 0), is beyond the double range on its own; the sum then is
// too. The logarithms of the term ratios add up while they exceed 1.
bool someTermBeyondRange(Wide alpha, Wide b, Wide z) {
    constexpr Wide kLogDoubleMax = 709.782712893384L;
    Wide logTerm = 0.0L;
    for (Wide k = 0.0L; k < kMostSteps; k += 1.0L) {
        const Wide ratio = (alpha + k) * z / ((b + k) * (k + 1.0L));
        if (!(ratio > 1.0L)) return false;
        logTerm += std::log(ratio);
        if (logTerm > kLogDoubleMax) return true;
    }
    return false;
}

// The result rounded to a double, where the estimate f of it (its value in
// the frame of the methods above) is accurate: "not converging" where it is
// not, "overflow" where the value is beyond the double range.
double checkedResult(const Estimate& f, Wide z, bool kummer, Wide value) {
    if (!(errorRatio(f, z, kummer) <= 1.0L)) Throw("not converging", kNoArgument);
    const double result = static_cast<double>(value);
    if (std::isinf(result)) Throw("overflow", kNoArgument);
    return result;
}

}  // namespace

// The function in the frame where its argument is positive: for x < 0,
// Kummer's transformation M(a, b, x) = e^x M(b - a, b, -x). Every method
// above then sees z = |x| > 0 and alpha = a or b - a (exact as a pair).
// Where b is a non-positive integer the transformation does not hold; M is
// then a polynomial that ends before its denominators reach 0 (a = -m,
// b = -n, m <= n), summed in pairs, or undefined.
double confluentExtended(double a, double b, double x) {
    if (isNonPositiveInteger(b)) {
        if (!(isNonPositiveInteger(a) && a >= b)) Throw("singularity", kNoArgument);
        Estimate f = powerSeries(DoubleDouble(a), b, x);
        if (!std::isfinite(f.value)) f = powerSeries(static_cast<Wide>(a), b, x);  // beyond the double range
        return checkedResult(f, x, false, f.value);
    }
    const bool kummer = x < 0.0;
    const Wide z = std::fabs(static_cast<Wide>(x));
    const DoubleDouble alpha = kummer ? twoSum(b, -a) : DoubleDouble(a);
    // Beyond the series' reach only a polynomial is evaluated, and a value
    // that one positive term shows beyond the double range.
    if (z > kExtendedLargestArgument && !isNonPositiveInteger(toWide(alpha))) {
        const bool positive = !kummer && a >= 0.0 && b > 0.0;
        Throw(positive && someTermBeyondRange(a, b, z) ? "overflow" : "not converging", kNoArgument);
    }
    const Estimate f = b > 0.0 ? positiveB(alpha, b, z, kummer, false).value : negativeB(alpha, b, z, kummer);
    const Wide value = kummer ? f.value * std::exp(static_cast<Wide>(x)) : f.value;
    return checkedResult(f, z, kummer, value);
}

}  // namespace Oru
