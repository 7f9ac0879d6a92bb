#include "numeric/kelvin/kelvin.hpp"

#include <cmath>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/core/integer.hpp"
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
// the change never falls below the tolerance. The pass limit ends that case
// with "not converging"; in round-to-nearest it is never reached.
double kelvinSeries(unsigned n, double x, const KelvinPhases& phases) {
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
    double sum = (phases.first / divisor) * firstPower;
    double power = static_cast<double>(firstPower);
    const double h2 = h * h;
    const long double order = n;
    long double k = 0.0L;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const double previousSum = sum;
        for (const double phase : phases.perPass) {
            k = k + 1.0L;
            power = -(h2 * power);
            divisor = divisor * (k * (order + k));
            sum = sum + (phase / divisor) * power;
        }
        const double change = std::fabs(previousSum - sum);
        if (std::isnan(change)) Throw("not converging", kNoArgument);
        if (change < kChangeTolerance) return sum;
    }
    Throw("not converging", kNoArgument);
}

}  // namespace

double kelvinBerSeries(unsigned n, double x) {
    return kelvinSeries(n, x, berPhases(n));
}

double kelvinBeiSeries(unsigned n, double x) {
    return kelvinSeries(n, x, beiPhases(n));
}

void tabulBer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = kelvinBerSeries(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

void tabulBei(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = kelvinBeiSeries(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

}  // namespace Oru
