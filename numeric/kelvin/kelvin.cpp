#include "numeric/kelvin/kelvin.hpp"

#include <cmath>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/core/integer.hpp"
#include "numeric/kelvin/kelvin_complex.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// ber_n and bei_n are the real and imaginary parts of
//   sum_k e^{i (3n/4 + k/2) pi} (x/2)^(n+2k) / (k! (n+k)!).
// The phase of term k is that of term 0 turned by k quarter turns, so with
// c = cos(n pi/4), s = sin(n pi/4) and the parities cos(3n pi/4) =
// (-1)^n c, sin(3n pi/4) = (-1)^(n+1) s, the factors (-1)^n and (-1)^k go
// into the signed power P and four phases repeat with the period of a pass.
struct KelvinPhases {
    double startSign;   // P before the n factors -h of the first term
    double first;       // phase of the first term
    double perPass[4];  // phases of terms k = 1, 2, 3, 0 (mod 4)
};

constexpr double kQuarterPi = kPi / 4;                      // 0.7853981633974483
constexpr double kChangeTolerance = 2.220446049250313e-16;  // 2^-52
constexpr int kMaxPasses = 1000;                            // four times the most round-to-nearest needs
constexpr long double kLargestDouble = std::numeric_limits<double>::max();

// The first-term steps P = -(P h) that remain once the divisor n! has
// overflowed the extended range (from 1755! on). Every term of the series,
// the first included, is then (phase / inf) P: a signed zero while P is
// finite, whose sign is all that P contributes, and a NaN ("not converging")
// once P is infinite. With |h| <= 1 the power cannot grow, so only its sign
// moves: -(P h) flips it at every step unless h is negative. With |h| > 1 the
// power only grows, and once it is past the double range the call ends in
// "not converging" whatever the remaining steps do. Only a power that stays
// within the double range for |h| just above 1 is stepped to the end.
long double firstTermAfterDivisorOverflow(long double power, double h, unsigned steps) {
    if (std::fabs(h) <= 1.0) return (!std::signbit(h) && (steps & 1u) != 0) ? -power : power;
    for (; steps > 0 && std::fabs(power) <= kLargestDouble; --steps) power = -(power * h);
    return power;
}

// The phase factors are the computed cosine and sine of n times the stored
// pi/4, not exact values: for n = 2 the cosine is about 6.1e-17, not 0.
KelvinPhases berPhases(unsigned n) {
    const double c = std::cos(n * kQuarterPi);
    const double s = std::sin(n * kQuarterPi);
    return {1.0, c, {-s, -c, s, c}};
}

KelvinPhases beiPhases(unsigned n) {
    const double c = std::cos(n * kQuarterPi);
    const double s = std::sin(n * kQuarterPi);
    return {-1.0, s, {c, -s, -c, s}};
}

// What the power series knows of its own error, gathered while it sums
// without touching a bit of the sum: the sizes of the terms, the two groups
// of terms that share a phase factor (cos or sin of n pi/4), and the sum of
// (n + 2k) times the terms, which is x times the derivative of the sum.
struct SeriesOutcome {
    double sum = 0.0;
    bool converged = false;  // a pass changed the sum by less than 2^-52
    int passes = 0;
    long double sizes = 0.0L;        // sum of |term|
    long double firstGroup = 0.0L;   // first term and terms k = 2, 4 (mod 4): phase c for ber, s for bei
    long double secondGroup = 0.0L;  // terms k = 1, 3 (mod 4): phase s for ber, c for bei
    long double slope = 0.0L;        // sum of (n + 2k) term = x d/dx of the sum
    long double lastSize = 0.0L;     // |h^(n+2K) / (K! (n+K)!)| at the last term K
};

// The divisor k! (n+k)! is held in extended precision, whose exponent keeps
// factorials up to 1754! finite (a double overflows past 170!), and so is the
// power during the n steps of the first term. After that the power is
// rounded to a double at every step and the sum at every term.
//
// The loop ends: once k! (n+k)! overflows the extended range (k below 1000,
// so within 250 passes), every term is 0 or, for an infinite power, NaN, so a
// pass either leaves the sum unchanged or makes it a NaN. That holds when
// overflow gives infinities. A host that calls in a directed rounding mode
// gets saturation at the largest finite value instead: the divisor stops
// growing, the terms stay tiny but non-zero, and rounding upward (or
// downward) moves a huge sum by one unit in its last place at every term, so
// the change never falls below the tolerance. The pass limit ends that case;
// in round-to-nearest it is never reached.
SeriesOutcome kelvinSeries(unsigned n, double x, const KelvinPhases& phases) {
    SeriesOutcome out;
    const double h = x / 2.0;
    long double firstPower = phases.startSign;
    long double divisor = 1.0L;
    for (unsigned j = 0; j < n; ++j) {
        if (std::isinf(divisor)) {
            firstPower = firstTermAfterDivisorOverflow(firstPower, h, n - j);
            break;
        }
        firstPower = -(firstPower * h);
        divisor = divisor * (static_cast<long double>(j) + 1.0L);
    }
    const long double order = n;
    const long double firstTerm = (phases.first / divisor) * firstPower;
    double sum = firstTerm;
    out.sizes = std::fabs(firstTerm);
    out.firstGroup = firstTerm;
    out.slope = order * firstTerm;
    double power = static_cast<double>(firstPower);
    const double h2 = h * h;
    long double k = 0.0L;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const double previousSum = sum;
        for (int slot = 0; slot < 4; ++slot) {
            k = k + 1.0L;
            power = -(h2 * power);
            divisor = divisor * (k * (order + k));
            const long double term = (phases.perPass[slot] / divisor) * power;
            sum = sum + term;
            out.sizes += std::fabs(term);
            ((slot & 1) != 0 ? out.firstGroup : out.secondGroup) += term;
            out.slope += (order + 2.0L * k) * term;
        }
        const double change = std::fabs(previousSum - sum);
        out.passes = pass + 1;
        if (std::isnan(change)) break;
        if (change < kChangeTolerance) {
            out.converged = true;
            out.lastSize = std::fabs(power / divisor);
            break;
        }
    }
    out.sum = sum;
    return out;
}

// ---- is the series good? -----------------------------------------------------
//
// The series result is kept, bit for bit, where its estimated error is at
// most half of 64 (1 + kappa) 2^-52 relative, kappa = |x f'(x) / f(x)| the
// condition number (or within four of the smallest subnormals), so that a
// kept result is good with a margin of two. The estimate has four parts:
//
// - rounding: 2^-52 (2 |sum| + |terms| / 2), where |terms| is the sum of the
//   terms' sizes. Measured on 16 000 points the rounding error never passed
//   0.8 of this (the per-term roundings add up like a random walk, at most
//   0.27 of |terms| 2^-52 where the terms cancel much);
// - the phase factors: cos(n pi/4) and sin(n pi/4) are computed from the
//   stored pi/4, not exact (cos(2 pi/4) is 6.1e-17 instead of 0, and the
//   angle is off by n times 3.1e-17). A group of terms that shares a factor
//   is off by that factor's relative error times the group's sum: all of it
//   where the exact factor is 0;
// - truncation: the pass rule is absolute, so at high orders (tiny values)
//   or with cancelling phases it can stop while the terms are still far
//   above 2^-52 of the sum. The terms left out are bounded by the next two
//   terms (with their exact phases) and a geometric tail; where the terms are
//   not yet falling fast the series is not kept;
// - subnormal sums: one subnormal unit per term.
// kappa comes from the slope sum: |x f'| <= |slope| + its own rounding, and
// where the slope is only rounding noise the comparison fails anyway.

constexpr double kRootHalfDouble = 0.7071067811865476;

// The exact cos(n pi/4) and sin(n pi/4), to the nearest double.
struct ExactPhase {
    double c;
    double s;
};

ExactPhase exactPhase(unsigned n) {
    constexpr double r = kRootHalfDouble;
    constexpr double cosines[8] = {1, r, 0, -r, -1, -r, 0, r};
    constexpr double sines[8] = {0, r, 1, r, 0, -r, -1, -r};
    return {cosines[n % 8], sines[n % 8]};
}

long double relativePhaseError(double computed, double exact) {
    if (exact == 0.0) return 1.0L;
    return std::fabs(static_cast<long double>(computed) - exact) / std::fabs(computed);
}

long double truncationBound(unsigned n, double x, const SeriesOutcome& out, double nextSlot0,
                            double nextSlot1) {
    const long double h = x / 2.0;
    const long double h2 = h * h;
    const long double order = n;
    const long double last = 4.0L * out.passes;
    const auto ratio = [&](long double k) { return h2 / (k * (order + k)); };
    const long double tailRatio = ratio(last + 3);
    if (!(tailRatio < 0.5L)) return INFINITY;
    const long double next1 = out.lastSize * ratio(last + 1);
    const long double next2 = next1 * ratio(last + 2);
    return std::fabs(nextSlot0) * next1 + std::fabs(nextSlot1) * next2 + next2 * tailRatio / (1 - tailRatio);
}

bool seriesIsGood(unsigned n, double x, bool bei, const SeriesOutcome& out) {
    if (!out.converged) return false;
    const double c = std::cos(n * kQuarterPi);
    const double s = std::sin(n * kQuarterPi);
    const ExactPhase exact = exactPhase(n);
    // ber: first group c, second s; the next terms (k = 1, 2 mod 4) carry -s, -c.
    // bei: first group s, second c; the next terms carry c, -s.
    const long double firstError = bei ? relativePhaseError(s, exact.s) : relativePhaseError(c, exact.c);
    const long double secondError = bei ? relativePhaseError(c, exact.c) : relativePhaseError(s, exact.s);
    const long double truncation =
        bei ? truncationBound(n, x, out, exact.c, exact.s) : truncationBound(n, x, out, exact.s, exact.c);
    const long double sum = std::fabs(static_cast<long double>(out.sum));
    const long double estimate =
        0x1p-52L * (2 * sum + 0.5L * out.sizes) + firstError * std::fabs(out.firstGroup) +
        secondError * std::fabs(out.secondGroup) + truncation + 0x1p-1075L * (4 * out.passes + 1);
    const long double good = std::fmax(64 * 0x1p-52L * (sum + std::fabs(out.slope)), 4 * 0x1p-1074L);
    return 2 * estimate <= good;
}

// ---- which method answers -----------------------------------------------------

enum class KelvinMethod { Series, ExtendedSeries, LargeArgument, Overflow, Zero, BeyondReach };

// Beyond |x| = 80 the series cancels by more than 2^20 at every order (and at
// the orders where it would not, its absolute stopping rule ends it far too
// early): it is never good there (measured: nothing kept past 62), so it is
// not tried.
constexpr double kSeriesReach = 80.0;
// At |x| >= 15000 |ber_n + i bei_n| >= 1e3548 for every order up to 10000.
constexpr double kOverflowFrom = 15000.0;

// h^n e^(h^2 / (n+1)) / n! bounds |ber_n| and |bei_n| (every term of the
// series by the one before times h^2 / (k (n+k)) <= h^2 / (n+1)); below
// 2^-1076 both round to 0.
bool valueUnderflows(unsigned n, double ax) {
    const double h = ax / 2.0;
    const double order = n;
    const double logBound = order * std::log(h) + h * h / (order + 1.0) - std::lgamma(order + 1.0);
    return logBound < -1076.0 * 0.6931471805599453;
}

// The method for order n at |x| = ax, where seriesGood tells whether the
// power series ran and proved its own result good. The series first, then:
// the same series in extended precision with exact phases below |x| = 22,
// the asymptotic expansion with the recurrence in the order above it.
KelvinMethod chooseMethod(unsigned n, double ax, bool seriesGood) {
    if (seriesGood) return KelvinMethod::Series;
    if (ax < kKelvinLargeArgumentFrom) return KelvinMethod::ExtendedSeries;
    if (n > kKelvinLargestOrder)
        return valueUnderflows(n, ax) ? KelvinMethod::Zero : KelvinMethod::BeyondReach;
    if (ax >= kOverflowFrom) return KelvinMethod::Overflow;
    return KelvinMethod::LargeArgument;
}

double rounded(long double value) {
    const double d = static_cast<double>(value);
    if (std::isinf(d)) Throw("overflow", kNoArgument);
    return d;
}

double kelvinValue(unsigned n, double x, bool bei) {
    // The series of a NaN or an infinite point ends in a NaN.
    if (!std::isfinite(x)) Throw("not converging", kNoArgument);
    const double ax = std::fabs(x);
    SeriesOutcome series;
    bool seriesGood = false;
    if (ax <= kSeriesReach) {
        series = kelvinSeries(n, x, bei ? beiPhases(n) : berPhases(n));
        seriesGood = seriesIsGood(n, x, bei, series);
    }
    switch (chooseMethod(n, ax, seriesGood)) {
        case KelvinMethod::Series:
            return series.sum;
        case KelvinMethod::ExtendedSeries: {
            const KelvinPair v = kelvinExtendedSeries(n, x);
            return rounded(bei ? v.bei : v.ber);
        }
        case KelvinMethod::LargeArgument: {
            const KelvinPair v = kelvinLargeArgument(n, x);
            return rounded(bei ? v.bei : v.ber);
        }
        case KelvinMethod::Overflow:
            Throw("overflow", kNoArgument);
        case KelvinMethod::Zero:
            return 0.0;
        case KelvinMethod::BeyondReach:
            break;
    }
    Throw("not converging", kNoArgument);
}

double seriesOnly(unsigned n, double x, bool bei) {
    const SeriesOutcome out = kelvinSeries(n, x, bei ? beiPhases(n) : berPhases(n));
    if (!out.converged) Throw("not converging", kNoArgument);
    return out.sum;
}

}  // namespace

double kelvinBer(unsigned n, double x) {
    return kelvinValue(n, x, false);
}

double kelvinBei(unsigned n, double x) {
    return kelvinValue(n, x, true);
}

double kelvinBerSeries(unsigned n, double x) {
    return seriesOnly(n, x, false);
}

double kelvinBeiSeries(unsigned n, double x) {
    return seriesOnly(n, x, true);
}

void tabulBer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = kelvinBer(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

void tabulBei(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = kelvinBei(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

}  // namespace Oru
