#include "numeric/hypergeometric/gauss.hpp"

#include <cfloat>
#include <cmath>
#include <initializer_list>

#include "numeric/core/constants.hpp"
#include "numeric/core/double_double.hpp"
#include "numeric/core/integer.hpp"
#include "numeric/gamma/digamma.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/complex_power.hpp"
#include "numeric/hypergeometric/gauss_careful.hpp"
#include "numeric/hypergeometric/real_arguments.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kEpsilon = 0x1p-52;           // tests x = 0 and x = 1
constexpr double kTolerance = 1e-13;           // integer tests, convergence
constexpr double kLogCaseTolerance = 1e-10;    // c - a - b taken as an integer
constexpr double kTransformationBound = 10.0;  // |c - a - b| for Euler and Pfaff
constexpr double kPfaffBound = -0.5;
constexpr double kConnectionBound = 0.75;
constexpr int kMaxSeriesTerms = 1000;
constexpr int kMaxLogCasePasses = 999;
// Gamma(m) is a finite double only for m <= 171; beyond that the logarithmic
// connection formula, which multiplies by Gamma(|c - a - b|), cannot give a
// finite value.
constexpr double kMaxLogCaseOrder = 171.0;

// The branch of the plain evaluation below that produced its value.
enum class PlainRoute {
    Origin,
    Power,
    Undefined,
    Polynomial,
    GaussSum,
    Euler,
    Pfaff,
    Connection,
    Logarithmic,
    Direct
};

struct PlainTrace {
    PlainRoute route = PlainRoute::Direct;
    // At the origin: the first term left out, |a b x / c|.
    double firstOmittedTerm = 0.0;
    // For some series, the sum of its terms' magnitudes over its value,
    // times the number of terms, exceeded the keep rule's bound.
    bool cancelledBeyondBound = false;
    // The sum of the magnitudes of the parts a connection formula adds, over
    // the magnitude of their sum.
    double combination = 1.0;
    // A series stopped on a negligible term before every factor a + k,
    // b + k, c + k had turned positive: later terms may grow again.
    bool stoppedEarly = false;
    // Largest argument of a Gamma value the method used.
    double gammaArgument = 0.0;
    // The bound on the error of Gauss's sum taken for the value at x.
    double gaussSumBound = 0.0;
    // Passes of the logarithmic case's digamma sum.
    int passes = 0;
    // Distance of c - a - b from the nearest integer, where Gamma(d) and
    // Gamma(-d) of the connection formula approach their poles.
    double integerDistance = 1.0;
    // The route took a parameter within 1e-13 of an integer as that integer
    // (or b within 1e-13 of c as c) although it is not exactly one: where
    // the function is sensitive to that difference, its value is wrong.
    bool roundedParameter = false;
};

// The largest |v| over the arguments of the Gamma values a method takes.
double largestMagnitude(std::initializer_list<double> values) {
    double largest = 0.0;
    for (double v : values) largest = std::fmax(largest, std::fabs(v));
    return largest;
}

// Bounds under which the plain evaluation's value is kept, found on the
// accuracy sweep (every kept point within 64 (1 + kappa) units of 2^-52,
// with a margin of a hundred or more in the measured cancellation).
constexpr double kKeptSeriesCancellation = 0x1p20;  // terms times sum of magnitudes over value
constexpr double kKeptConnectionCombination = 32.0;
constexpr double kKeptLogarithmicCombination = 4.0;
// The logarithmic case is kept where c - a - b is its integer up to a few
// units of its last place.
constexpr double kKeptLogarithmicDistance = 0x1p-51;
constexpr double kKeptGammaArgument = 30.0;    // Gamma values accurate to a few units
constexpr double kKeptIntegerDistance = 0.05;  // c - a - b this far from an integer
constexpr int kKeptLogarithmicPasses = 60;     // also bounds the time taken
constexpr double kKeptOriginTerm = 0x1p-48;    // 16 units of 2^-52
constexpr double kKeptGaussSumBound = 0x1p-46;

// A series' value is kept where it stopped on a term that no later term
// can outgrow and its terms did not cancel beyond the bound.
bool seriesKept(bool stoppedEarly, bool cancelledBeyondBound) {
    return !stoppedEarly && !cancelledBeyondBound;
}

// Which method answers: the plain evaluation where what it saw on the way
// vouches for its value (few terms no larger than their sum, Gamma values
// of moderate arguments, c - a - b not near an integer unless exactly one),
// the careful evaluation of gauss_careful.cpp everywhere else.
bool keepPlainValue(const PlainTrace& t) {
    switch (t.route) {
        case PlainRoute::Origin:
            return t.firstOmittedTerm <= kKeptOriginTerm;
        case PlainRoute::Power:
        case PlainRoute::Undefined:
            return true;
        case PlainRoute::Polynomial:
        case PlainRoute::Euler:
        case PlainRoute::Pfaff:
        case PlainRoute::Direct:
            return seriesKept(t.stoppedEarly, t.cancelledBeyondBound);
        case PlainRoute::GaussSum:
            return t.gaussSumBound <= kKeptGaussSumBound && t.gammaArgument <= kKeptGammaArgument;
        case PlainRoute::Connection:
            return seriesKept(t.stoppedEarly, t.cancelledBeyondBound) &&
                   t.combination <= kKeptConnectionCombination && t.gammaArgument <= kKeptGammaArgument &&
                   t.integerDistance >= kKeptIntegerDistance;
        case PlainRoute::Logarithmic:
            return t.integerDistance <= kKeptLogarithmicDistance &&
                   t.combination <= kKeptLogarithmicCombination && t.gammaArgument <= kKeptGammaArgument &&
                   t.passes <= kKeptLogarithmicPasses;
    }
    return false;
}

struct SeriesSum {
    double value;
    double magnitudes;  // sum of |term|
    int terms;
    bool settled;
    bool stoppedEarly;
};

bool within(double v, double target, double tolerance) {
    return std::fabs(v - target) < tolerance;
}

// v within 1e-13 of an integer that is 0 or negative (tested on the rounded
// value, so a tiny positive v counts as 0).
bool roundsToNonPositiveInteger(double v) {
    if (v >= 0.5) return false;  // rounds to 1 or more
    const double r = Oru::round(v);
    return r <= 0.0 && within(v, r, kTolerance);
}

// c - u, formed exactly as a double-double, is an integer 0 or below.
bool differenceIsNonPositiveInteger(double c, double u) {
    const DoubleDouble difference = twoSum(c, -u);
    return difference.lo == 0.0 && difference.hi <= 0.0 && difference.hi == std::nearbyint(difference.hi);
}

// The hypergeometric series in x summed until a term no longer changes the
// sum (at most 1000 terms), with the sum of the magnitudes of its terms where
// asked for (else 1): the sum's rounding error is bounded by that times the
// extended precision. Carried in extended precision: the terms of an
// alternating series can exceed its sum by many orders of magnitude.
template <bool kWithMagnitudes>
SeriesSum seriesTerms(double a, double b, double c, double x) {
    long double la = a;
    long double lb = b;
    long double lc = c;
    const long double lx = x;
    long double sum = 1.0L;
    long double term = 1.0L;
    long double k = 1.0L;
    long double change = 0.0L;
    // The terms as doubles, their magnitudes summed after the loop (in the
    // same order), outside the extended registers the loop needs.
    double terms[kWithMagnitudes ? kMaxSeriesTerms : 1];
    int count = kMaxSeriesTerms;
    bool settled = false;
    bool early = false;
    for (int pass = 0; pass < kMaxSeriesTerms; ++pass) {
        term = ((((1.0L / lc) / k) * la) * lb) * (lx * term);
        const long double next = sum + term;
        la = la + 1.0L;
        lb = lb + 1.0L;
        lc = lc + 1.0L;
        k = k + 1.0L;
        if constexpr (kWithMagnitudes) terms[pass] = static_cast<double>(term);
        if (next == sum) {
            // Some factor still negative (a NaN factor is passed over, as
            // fmin would pass over it), by comparisons rather than calls.
            early = term != 0.0L && (la < 0.0L || lb < 0.0L || lc < 0.0L);
            count = pass + 1;
            settled = true;
            break;
        }
        change = next - sum;
        sum = next;
    }
    if (!settled) settled = !(std::fabs(change) > kTolerance);
    double magnitudes = 1.0;
    if constexpr (kWithMagnitudes)
        for (int i = 0; i < count; ++i) magnitudes += std::fabs(terms[i]);
    return {static_cast<double>(sum), magnitudes, count, settled, early};
}

SeriesSum sumSeries(double a, double b, double c, double x) {
    return seriesTerms<true>(a, b, c, x);
}

// An exact integer 0 or below (finite): as a parameter it ends the series
// with no rounding on the way.
bool isExactDegree(double v) {
    return v <= 0.0 && std::isfinite(v) && exactFloor(v) == v;
}

// No term of the series is negative: x > 0 with a, b and c positive, or
// x < 0 with b and c positive and a an exact degree -n (each factor a + k < 0
// turns the sign back that x turns, until a + n = 0 ends the series), or the
// same with a and b exchanged.
bool termsNeverNegative(double a, double b, double c, double x) {
    if (!(c > 0.0)) return false;
    if (x > 0.0) return a > 0.0 && b > 0.0;
    return x < 0.0 && ((b > 0.0 && isExactDegree(a)) || (a > 0.0 && isExactDegree(b)));
}

// Bound of a sum of terms that are never negative under which the sum of
// their magnitudes in doubles stays finite.
constexpr double kNonNegativeSumBound = 0x1p1000;

// The series with the sum of its terms' magnitudes. Where no term is
// negative that sum is the series' own: the two sums in doubles lie within
// 2^-41 of the exact one for at most 1000 terms, so the cancellation measured
// term by term would be the number of terms to that accuracy, and taking it
// as the number of terms changes no decision of the keep rule (whose bound is
// 2^20). Beyond 2^1000, where the magnitudes' sum in doubles could overflow,
// the terms are followed one by one as for any other series.
SeriesSum sumSeriesWithMagnitudes(double a, double b, double c, double x, bool nonNegativeTerms) {
    if (!nonNegativeTerms) return sumSeries(a, b, c, x);
    SeriesSum sum = seriesTerms<false>(a, b, c, x);
    if (!(sum.value <= kNonNegativeSumBound)) return sumSeries(a, b, c, x);
    sum.magnitudes = sum.value;
    return sum;
}

// (1 - x)^d for the Euler transformation: the C runtime's pow on a real base.
tabulComplex eulerFactor(const tabulComplex& s, double d) {
    if (s.im == 0.0) return {std::pow(s.re, d), 0.0};
    return complexPower(s, {d, 0.0});
}

tabulComplex realValue(double v) {
    return {v, 0.0};
}

// Margin around the products below that covers their rounding and that of
// the quotient (a few units of 2^-53).
constexpr double kProductMargin = 0x1p-40;

// Whether the series' cancellation, terms * (magnitudes / |value|) in
// doubles, exceeds the keep rule's bound (a NaN ratio does not). Where
// terms * magnitudes and the bound times |value| are finite, normal and
// apart by more than the margin, they decide it as that quotient would,
// without its division; the quotient decides the rest.
bool cancelsBeyondBound(const SeriesSum& sum) {
    const double value = std::fabs(sum.value);
    const double product = sum.terms * sum.magnitudes;
    const double limit = kKeptSeriesCancellation * value;
    if (limit >= DBL_MIN && limit <= DBL_MAX && product <= DBL_MAX) {
        if (product < limit * (1.0 - kProductMargin)) return false;
        if (product > limit * (1.0 + kProductMargin)) return true;
    }
    return sum.terms * (sum.magnitudes / value) > kKeptSeriesCancellation;
}

// The series as the plain evaluation sums it, noting in the trace how far
// the magnitudes of its terms exceeded their sum.
double tracedSeries(PlainTrace& trace, double a, double b, double c, double x) {
    const SeriesSum sum = sumSeriesWithMagnitudes(a, b, c, x, termsNeverNegative(a, b, c, x));
    if (!sum.settled) Throw("not converging", kNoArgument);
    trace.cancelledBeyondBound = trace.cancelledBeyondBound || cancelsBeyondBound(sum);
    trace.stoppedEarly = trace.stoppedEarly || sum.stoppedEarly;
    return sum.value;
}

// 2F1(a, b; c; x) = (1 - x)^-a 2F1(a, c - b; c; x/(x - 1)) when b > 0
// (tested as c - b < c), else the same with a and b exchanged. s = 1 - x;
// x/(x - 1) is formed as -x times the reciprocal of s.
tabulComplex pfaffTransformation(PlainTrace& trace, double a, double b, double c, double x,
                                 const tabulComplex& s) {
    trace.route = PlainRoute::Pfaff;
    const double z = -x * (1.0 / s.re);
    if (c - b < c) {
        const tabulComplex factor = complexPowerReal(s, -a);
        return complexMul(factor, realValue(tracedSeries(trace, a, c - b, c, z)));
    }
    const tabulComplex factor = complexPowerReal(s, -b);
    return complexMul(factor, realValue(tracedSeries(trace, c - a, b, c, z)));
}

// Connection to 1 - x for c - a - b = d not an integer:
// 2F1 = Gamma(c) [Gamma(d)/(Gamma(c-a)Gamma(c-b)) 2F1(a, b; 1-d; s)
//      + s^d Gamma(-d)/(Gamma(a)Gamma(b)) 2F1(c-a, c-b; d+1; s)].
double connectionToOneMinusX(PlainTrace& trace, double a, double b, double c, double d,
                             const tabulComplex& s) {
    trace.route = PlainRoute::Connection;
    trace.gammaArgument = largestMagnitude({a, b, c, c - a, c - b, d});
    trace.integerDistance = std::fabs(d - Oru::round(d));
    const double f1 = tracedSeries(trace, a, b, 1.0 - d, s.re);
    const double gd = realGamma(d);
    const double gca = realGamma(c - a);
    const double gcb = realGamma(c - b);
    const double t1 = gd * f1 / (gca * gcb);
    const double f2 = tracedSeries(trace, c - a, c - b, d + 1.0, s.re);
    const double gmd = realGamma(-d);
    const double ga = realGamma(a);
    const double gb = realGamma(b);
    const double t2 = gmd * f2 / (ga * gb);
    const double p = complexPowerReal(s, d).re;
    const double gc = realGamma(c);
    const double value = gc * (t2 * p + t1);
    const double terms = std::fabs(t2 * p) + std::fabs(t1);
    trace.combination = terms * std::fabs(gc / value);
    return value;
}

// The parameters of the logarithmic connection formula for c - a - b = id,
// an integer: e = |d|, the shifts d1 and d2 of a and b in its two sums, and
// the length m of the finite sum.
struct LogCaseOrder {
    double e;
    double d1;
    double d2;
    int m;
};

LogCaseOrder logCaseOrder(double d, double id) {
    // Also rejects a NaN or infinite id before its conversion.
    if (!(std::fabs(id) <= kMaxLogCaseOrder)) Throw("overflow", kNoArgument);
    const int truncated = static_cast<int>(id);
    if (id >= 0.0) return {d, d, 0.0, truncated};
    return {-d, 0.0, d, -truncated};
}

// The infinite sum with the digamma terms, sum over t of
// (a+d1)_t (b+d1)_t / (t! (t+e)!) s^t [psi(1+t) + psi(1+e+t) - psi(a+d1+t)
// - psi(b+d1+t) - ln s], summed until it no longer changes.
long double logCaseDigammaSum(PlainTrace& trace, double a, double b, const LogCaseOrder& k, double sre) {
    const long double ad = static_cast<long double>(a) + k.d1;
    const long double bd = static_cast<long double>(b) + k.d1;
    const long double onePlusE = 1.0L + k.e;
    const long double logS = std::log(static_cast<long double>(sre));
    const long double psiSum = static_cast<long double>(digamma(1.0)) +
                               digamma(static_cast<double>(onePlusE)) - digamma(static_cast<double>(ad)) -
                               digamma(static_cast<double>(bd)) - logS;
    long double y = psiSum / realGamma(k.e + 1.0);
    long double p = sre * bd * ad / realGamma(k.e + 2.0);
    long double t = 1.0L;
    long double change = 0.0L;
    for (int pass = 0; pass < kMaxLogCasePasses; ++pass) {
        const long double q = static_cast<long double>(digamma(static_cast<double>(1.0L + t))) +
                              digamma(static_cast<double>(onePlusE + t)) -
                              digamma(static_cast<double>(ad + t)) - digamma(static_cast<double>(bd + t)) -
                              logS;
        const long double next = q * p + y;
        trace.passes = pass + 1;
        trace.combination = std::fmax(trace.combination, static_cast<double>(std::fabs(q * p / next)));
        if (next == y) return y;
        change = next - y;
        y = next;
        p = sre * (ad + t) * p / (1.0L + t) * (bd + t) / (onePlusE + t);
        t = t + 1.0L;
    }
    if (std::fabs(change) > kTolerance) Throw("not converging", kNoArgument);
    return y;
}

// The finite sum over t < m of (a+d2)_t (b+d2)_t / (t! (1-e)_t) s^t.
long double logCaseFiniteSum(double a, double b, const LogCaseOrder& k, double sre) {
    const long double ad = static_cast<long double>(a) + k.d2;
    const long double bd = static_cast<long double>(b) + k.d2;
    const long double oneMinusE = 1.0L - k.e;
    long double y1 = 1.0L;
    long double p = 1.0L;
    long double t = 0.0L;
    for (int pass = 1; pass < k.m; ++pass) {
        p = (((bd + t) / (oneMinusE + t)) * (ad + t) * sre * p) / (t + 1.0L);
        t = t + 1.0L;
        y1 = y1 + p;
    }
    return y1;
}

// Connection to 1 - x when c - a - b = id is an integer, where the two
// terms of the general formula have poles that cancel into logarithms.
double logarithmicConnection(PlainTrace& trace, double a, double b, double c, double d, double id,
                             const tabulComplex& s) {
    trace.route = PlainRoute::Logarithmic;
    trace.gammaArgument = largestMagnitude({a, b, c, d, a + d, b + d});
    trace.integerDistance = std::fabs(d - id);
    const LogCaseOrder k = logCaseOrder(d, id);
    const double sre = s.re;
    long double y = logCaseDigammaSum(trace, a, b, k, sre);
    if (k.m == 0) {
        const double gc = realGamma(c);
        const double ga = realGamma(a);
        const double gb = realGamma(b);
        return static_cast<double>(gc * y / (ga * gb));
    }
    long double y1 = logCaseFiniteSum(a, b, k, sre);
    const double ge = realGamma(k.e);
    const double gc = realGamma(c);
    const double gad1 = realGamma(a + k.d1);
    const double gbd1 = realGamma(b + k.d1);
    y1 = ge * y1 * gc / (static_cast<long double>(gad1) * gbd1);
    const double gad2 = realGamma(a + k.d2);
    const double gbd2 = realGamma(b + k.d2);
    y = y * gc / (static_cast<long double>(gad2) * gbd2);
    if ((k.m & 1) != 0) y = -y;
    const long double q = std::pow(static_cast<long double>(sre), static_cast<long double>(id));
    const long double value = id >= 1.0 ? y1 + y * q : q * y1 + y;
    const long double parts = id >= 1.0 ? std::fabs(y1) + std::fabs(y * q) : std::fabs(q * y1) + std::fabs(y);
    trace.combination = std::fmax(trace.combination, static_cast<double>(parts / std::fabs(value)));
    return static_cast<double>(value);
}

// Gauss's sum differs from the value at x = 1 - s by about s a b / (1 - d)
// for d = c - a - b >= 2, by terms of the size of s^d and s ln s as well
// for 1 <= d < 2, and by s^d for d < 1: a bound of that difference relative
// to the sum (twice the leading term, or with the logarithm added).
double gaussSumBound(double a, double b, double d, double s) {
    if (d >= 2.0) return 2.0 * s * std::fabs(a * b) / (d - 1.0);
    if (!(d >= 1.0)) return HUGE_VAL;
    const double logS = -std::log(s);
    return s * std::fabs(a * b) * (logS + 1.0 / std::fmax(d - 1.0, 1.0 / logS));
}

tabulComplex evaluateGauss(PlainTrace& trace, double a, double b, double c, double x) {
    if (std::fabs(x) < kEpsilon) {
        trace.route = PlainRoute::Origin;
        // Where c is a pole the value 1 at the origin is a convention.
        const bool pole = c <= 0.0 && c == std::nearbyint(c);
        trace.firstOmittedTerm = (x == 0.0 || pole) ? 0.0 : std::fabs(a * b * x / c);
        return {1.0, 0.0};
    }
    const double r = std::fabs(x);
    if (!(r <= 1.0)) Throw("overflow", kNoArgument);

    const tabulComplex s{1.0 - x, 0.0};
    const double ra = a <= 0.0 ? Oru::round(a) : 0.0;
    const double rb = b <= 0.0 ? Oru::round(b) : 0.0;
    const bool aIsPolynomialDegree = a <= 0.0 && within(a, ra, kTolerance);
    const bool bIsPolynomialDegree = b <= 0.0 && within(b, rb, kTolerance);
    const double aa = aIsPolynomialDegree ? ra : a;
    const double bb = bIsPolynomialDegree ? rb : b;

    // b = c or a = c: 2F1 reduces to (1 - x)^-a or (1 - x)^-b.
    if (r < 1.0) {
        if (within(b, c, kTolerance)) {
            trace.route = PlainRoute::Power;
            trace.roundedParameter = b != c;
            return complexPowerReal(s, -a);
        }
        if (within(a, c, kTolerance)) {
            trace.route = PlainRoute::Power;
            trace.roundedParameter = a != c;
            return complexPowerReal(s, -b);
        }
    }

    // c a non-positive integer: defined only as a polynomial that ends
    // before the denominator (c)_k reaches zero.
    // Rounded only where it can matter: c below 1e-13.
    const double rc = c < kTolerance ? Oru::round(c) : c;
    if (c < kTolerance && within(c, rc, kTolerance)) {
        trace.roundedParameter = aa != a || bb != b || rc != c;
        if ((aIsPolynomialDegree && ra > rc) || (bIsPolynomialDegree && rb > rc)) {
            trace.route = PlainRoute::Polynomial;
            return realValue(tracedSeries(trace, aa, bb, rc, x));
        }
        trace.route = PlainRoute::Undefined;
        Throw("domain error", kNoArgument);
    }
    if (aIsPolynomialDegree || bIsPolynomialDegree) {
        trace.route = PlainRoute::Polynomial;
        trace.roundedParameter = aa != a || bb != b;
        return realValue(tracedSeries(trace, aa, bb, c, x));
    }

    const double d = (c - a) - b;
    // Gauss's summation at x = 1.
    if (std::fabs(x - 1.0) < kEpsilon && d > 0.0 && (c > 0.0 || std::fabs(c - rc) > kTolerance)) {
        const double gd = realGamma(d);
        const double gc = realGamma(c);
        const double gca = realGamma(c - a);
        const double gcb = realGamma(c - b);
        trace.route = PlainRoute::GaussSum;
        trace.gammaArgument = largestMagnitude({c, d, c - a, c - b});
        trace.gaussSumBound = gaussSumBound(a, b, d, 1.0 - x);
        return realValue(gd * gc / gca / gcb);
    }
    // The series diverges on the unit circle for d <= -1, and at x = 1 for
    // d <= 0.
    if (std::fabs(std::fabs(r) - 1.0) < kTolerance) {
        if (d <= -1.0) Throw("overflow", kNoArgument);
        if (d <= 0.0 && x > 0.0) Throw("overflow", kNoArgument);
    }

    if (std::fabs(d) <= kTransformationBound) {
        // Euler: 2F1(a, b; c; x) = (1 - x)^d 2F1(c - a, c - b; c; x), a
        // polynomial when c - a or c - b is a non-positive integer.
        if (roundsToNonPositiveInteger(c - a) || roundsToNonPositiveInteger(c - b)) {
            trace.route = PlainRoute::Euler;
            trace.roundedParameter =
                !differenceIsNonPositiveInteger(c, a) && !differenceIsNonPositiveInteger(c, b);
            const tabulComplex factor = eulerFactor(s, d);
            return complexMul(factor, realValue(tracedSeries(trace, c - a, c - b, c, x)));
        }
        if (x < kPfaffBound) return pfaffTransformation(trace, a, b, c, x, s);
    }

    if (x > kConnectionBound) {
        const double rd = Oru::round(d);
        if (std::fabs(d - rd) > kLogCaseTolerance) {
            return realValue(connectionToOneMinusX(trace, a, b, c, d, s));
        }
        return realValue(logarithmicConnection(trace, a, b, c, d, rd, s));
    }
    trace.route = PlainRoute::Direct;
    return realValue(tracedSeries(trace, a, b, c, x));
}

bool allFinite(double a, double b, double c, double x) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(x);
}

// Where the plain evaluation took a parameter near an integer as that
// integer, the careful evaluation (which tests integers exactly) answers
// unless the plain value agrees with it to 8 units of 2^-52 (the accuracy the
// careful evaluation itself vouches for).
constexpr double kRoundedParameterAgreement = 0x1p-49;

tabulComplex checkedAgainstCareful(bool kept, const tabulComplex& value, double a, double b, double c,
                                   double x) {
    const double careful = carefulGauss(a, b, c, x);
    const bool agrees = std::fabs(value.re - careful) <= kRoundedParameterAgreement * std::fabs(careful);
    return kept && agrees ? value : realValue(careful);
}

// Within 1e-13 of an integer 0 or below without being that integer: the
// plain evaluation would take it as the integer.
bool isRoundedDegree(double v) {
    if (!(v <= 0.0)) return false;
    const double r = Oru::round(v);
    return r != v && within(v, r, kTolerance);
}

// The arguments for which the plain evaluation sums the terminating series
// as it stands: finite, x neither at the origin nor on the unit circle, b
// and a clear of c (no reduction to a power), c clear of the poles, and a or
// b an exact degree with the other no rounded one. That evaluation's value
// is then the series' and what it relied on is the series' own record, so
// the steps before it (and their record) can be left out.
bool isExactPolynomial(double a, double b, double c, double x) {
    if (!(a <= 0.0 || b <= 0.0)) return false;  // no degree
    const double r = std::fabs(x);
    if (!(r >= kEpsilon && r < 1.0) || !allFinite(a, b, c, x)) return false;
    if (within(b, c, kTolerance) || within(a, c, kTolerance)) return false;
    if (c < kTolerance && within(c, Oru::round(c), kTolerance)) return false;
    if (isExactDegree(a)) return !isRoundedDegree(b);
    return isExactDegree(b) && !isRoundedDegree(a);
}

// The value gaussHypergeometric gives where isExactPolynomial holds, by the
// plain evaluation's rules for its polynomial: the series kept where it
// settled with its value finite, stopped on no early term and did not cancel
// beyond the bound, the careful evaluation otherwise. No term is negative
// for x < 0 with c and the parameter that is not the degree positive.
tabulComplex exactPolynomial(double a, double b, double c, double x) {
    const bool nonNegativeTerms = x < 0.0 && c > 0.0 && (a > 0.0 || b > 0.0);
    const SeriesSum sum = sumSeriesWithMagnitudes(a, b, c, x, nonNegativeTerms);
    const bool kept =
        sum.settled && seriesKept(sum.stoppedEarly, cancelsBeyondBound(sum)) && std::isfinite(sum.value);
    return realValue(kept ? sum.value : carefulGauss(a, b, c, x));
}

// The kernel's value, inline in both entries so that the entry of the host
// stores it straight from its registers.
inline tabulComplex gaussValue(double a, double b, double c, double x) {
    if (isExactPolynomial(a, b, c, x)) return exactPolynomial(a, b, c, x);
    // Infinite or NaN arguments have no value to improve on: the plain
    // evaluation answers as it does.
    PlainTrace trace;
    if (!allFinite(a, b, c, x)) return evaluateGauss(trace, a, b, c, x);
    tabulComplex value{0.0, 0.0};
    try {
        value = evaluateGauss(trace, a, b, c, x);
    } catch (const Vesk::Run::AppException&) {
        // The point where 2F1 is undefined keeps its error; every other
        // error of the plain evaluation is checked by the careful one.
        if (trace.route == PlainRoute::Undefined && !trace.roundedParameter) throw;
        return realValue(carefulGauss(a, b, c, x));
    }
    const bool kept = keepPlainValue(trace) && std::isfinite(value.re) && std::isfinite(value.im);
    if (trace.roundedParameter) return checkedAgainstCareful(kept, value, a, b, c, x);
    if (kept) return value;
    return realValue(carefulGauss(a, b, c, x));
}

}  // namespace

double gaussSeries(double a, double b, double c, double x) {
    const SeriesSum sum = sumSeries(a, b, c, x);
    if (!sum.settled) Throw("not converging", kNoArgument);
    return sum.value;
}

tabulComplex gaussHypergeometric(double a, double b, double c, double x) {
    return gaussValue(a, b, c, x);
}

void tabulFhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c,
                 const tabulComplex& x) {
    requireRealArguments({&a, &b, &c, &x});
    if (x.re <= -1.0) Throw("domain error", 4);
    if (x.re >= 1.0) Throw("domain error", 4);
    res = gaussValue(a.re, b.re, c.re, x.re);
}

}  // namespace Oru
