#include "numeric/kelvin/kelvin.hpp"

#include <cmath>
#include <cstdint>
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
// cos(n pi/4) and sin(n pi/4) exactly as std::cos and std::sin give them for
// the stored pi/4 (checked bit for bit against the library by the robustness
// test), for the orders asked for most: the table saves the two calls, a
// third of the cost of a short series.
constexpr double kPhaseFactors[64][2] = {
    {0x1p+0, 0x0p+0},                                // 0
    {0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1},    // 1
    {0x1.1a62633145c07p-54, 0x1p+0},                 // 2
    {-0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},   // 3
    {-0x1p+0, 0x1.1a62633145c07p-53},                // 4
    {-0x1.6a09e667f3bcep-1, -0x1.6a09e667f3bccp-1},  // 5
    {-0x1.a79394c9e8a0ap-53, -0x1p+0},               // 6
    {0x1.6a09e667f3bcbp-1, -0x1.6a09e667f3bcep-1},   // 7
    {0x1p+0, -0x1.1a62633145c07p-52},                // 8
    {0x1.6a09e667f3bcep-1, 0x1.6a09e667f3bcbp-1},    // 9
    {0x1.60fafbfd97309p-52, 0x1p+0},                 // 10
    {-0x1.6a09e667f3bc5p-1, 0x1.6a09e667f3bd4p-1},   // 11
    {-0x1p+0, 0x1.a79394c9e8a0ap-52},                // 12
    {-0x1.6a09e667f3bc9p-1, -0x1.6a09e667f3bdp-1},   // 13
    {-0x1.ee2c2d963a10cp-52, -0x1p+0},               // 14
    {0x1.6a09e667f3bc4p-1, -0x1.6a09e667f3bd5p-1},   // 15
    {0x1p+0, -0x1.1a62633145c07p-51},                // 16
    {0x1.6a09e667f3bcap-1, 0x1.6a09e667f3bcfp-1},    // 17
    {0x1.3daeaf976e788p-51, 0x1p+0},                 // 18
    {-0x1.6a09e667f3bc3p-1, 0x1.6a09e667f3bd6p-1},   // 19
    {-0x1p+0, 0x1.60fafbfd97309p-51},                // 20
    {-0x1.6a09e667f3bcbp-1, -0x1.6a09e667f3bcep-1},  // 21
    {-0x1.6111d218effa2p-49, -0x1p+0},               // 22
    {0x1.6a09e667f3bc2p-1, -0x1.6a09e667f3bd7p-1},   // 23
    {0x1p+0, -0x1.a79394c9e8a0ap-51},                // 24
    {0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},    // 25
    {-0x1.1a900f67f753ap-50, 0x1p+0},                // 26
    {-0x1.6a09e667f3bc2p-1, 0x1.6a09e667f3bd7p-1},   // 27
    {-0x1p+0, 0x1.ee2c2d963a10cp-51},                // 28
    {-0x1.6a09e667f3bcdp-1, -0x1.6a09e667f3bcdp-1},  // 29
    {-0x1.845e1e7f18b23p-49, -0x1p+0},               // 30
    {0x1.6a09e667f3bc1p-1, -0x1.6a09e667f3bd8p-1},   // 31
    {0x1p+0, -0x1.1a62633145c07p-50},                // 32
    {0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1},    // 33
    {-0x1.a7eeed374bc71p-51, 0x1p+0},                // 34
    {-0x1.6a09e667f3bcp-1, 0x1.6a09e667f3bd9p-1},    // 35
    {-0x1p+0, 0x1.3daeaf976e788p-50},                // 36
    {-0x1.6a09e667f3bcep-1, -0x1.6a09e667f3bcbp-1},  // 37
    {-0x1.a7aa6ae5416a4p-49, -0x1p+0},               // 38
    {0x1.6a09e667f3bbfp-1, -0x1.6a09e667f3bdap-1},   // 39
    {0x1p+0, -0x1.60fafbfd97309p-50},                // 40
    {0x1.6a09e667f3be6p-1, 0x1.6a09e667f3bb4p-1},    // 41
    {-0x1.1abdbb9ea8e6ep-51, 0x1p+0},                // 42
    {-0x1.6a09e667f3bbfp-1, 0x1.6a09e667f3bdbp-1},   // 43
    {-0x1p+0, 0x1.6111d218effa2p-48},                // 44
    {-0x1.6a09e667f3bdp-1, -0x1.6a09e667f3bc9p-1},   // 45
    {-0x1.caf6b74b6a225p-49, -0x1p+0},               // 46
    {0x1.6a09e667f3bd4p-1, -0x1.6a09e667f3bc5p-1},   // 47
    {0x1p+0, -0x1.a79394c9e8a0ap-50},                // 48
    {0x1.6a09e667f3be7p-1, 0x1.6a09e667f3bb2p-1},    // 49
    {-0x1.1b19140c0c0d5p-52, 0x1p+0},                // 50
    {-0x1.6a09e667f3bbdp-1, 0x1.6a09e667f3bdcp-1},   // 51
    {-0x1p+0, -0x1.1a900f67f753ap-49},               // 52
    {-0x1.6a09e667f3bd1p-1, -0x1.6a09e667f3bc8p-1},  // 53
    {-0x1.ee4303b192da6p-49, -0x1p+0},               // 54
    {0x1.6a09e667f3bd3p-1, -0x1.6a09e667f3bc6p-1},   // 55
    {0x1p+0, -0x1.ee2c2d963a10cp-50},                // 56
    {0x1.6a09e667f3be9p-1, 0x1.6a09e667f3bbp-1},     // 57
    {-0x1.6d61b58c99c43p-61, 0x1p+0},                // 58
    {-0x1.6a09e667f3bbbp-1, 0x1.6a09e667f3bdep-1},   // 59
    {-0x1p+0, 0x1.845e1e7f18b23p-48},                // 60
    {-0x1.6a09e667f3bd3p-1, -0x1.6a09e667f3bc6p-1},  // 61
    {-0x1.08c7a80bddc93p-48, -0x1p+0},               // 62
    {0x1.6a09e667f3bd1p-1, -0x1.6a09e667f3bc8p-1},   // 63
};

struct PhaseFactors {
    double c;
    double s;
};

PhaseFactors phaseFactors(unsigned n) {
    if (n < 64) return {kPhaseFactors[n][0], kPhaseFactors[n][1]};
    return {std::cos(n * kQuarterPi), std::sin(n * kQuarterPi)};
}

KelvinPhases berPhases(unsigned n) {
    const auto [c, s] = phaseFactors(n);
    return {1.0, c, {-s, -c, s, c}};
}

KelvinPhases beiPhases(unsigned n) {
    const auto [c, s] = phaseFactors(n);
    return {-1.0, s, {c, -s, -c, s}};
}

// What the power series leaves behind for its error estimate.
struct SeriesOutcome {
    double sum = 0.0;
    bool converged = false;  // a pass changed the sum by less than 2^-52
    int passes = 0;
    double first = 0.0;               // the first term
    double places[4] = {0, 0, 0, 0};  // terms k = 1, 2, 3, 0 (mod 4), summed apart
    double slope = 0.0;               // sum of (n + 2k) term = x d/dx of the sum
    double lastSize = 0.0;            // |h^(n+2K) / (K! (n+K)!)| at the last term K
};

// The divisor k! (n+k)! is held in extended precision, whose exponent keeps
// factorials up to 1754! finite (a double overflows past 170!), and so is the
// power during the n steps of the first term. After that the power is
// rounded to a double at every step and the sum at every term. The factor
// k (n + k) of a step is an integer below 2^45 (k at most 4000, n below
// 2^32), so it is formed exactly in integers and converted exactly: the same
// value as from extended k and n, in every rounding mode, without holding k
// and n in the few extended registers that the divisor and the terms need.
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
//
// Inlined into its callers, so that the outcome goes to the error estimate in
// registers rather than through memory (a tenth of a short series' time).
[[gnu::always_inline]] inline SeriesOutcome kelvinSeries(unsigned n, double x, const KelvinPhases& phases) {
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
    const long double firstTerm = (phases.first / divisor) * firstPower;
    double sum = firstTerm;
    out.first = static_cast<double>(firstTerm);
    double slope = n * out.first, weight = n;
    double places[4] = {0, 0, 0, 0};
    double power = static_cast<double>(firstPower);
    const double h2 = h * h;
    std::int64_t k = 0;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const double previousSum = sum;
        for (int place = 0; place < 4; ++place) {
            k = k + 1;
            power = -(h2 * power);
            divisor = divisor * static_cast<long double>(k * (n + k));
            const long double t = (phases.perPass[place] / divisor) * power;
            sum = sum + t;
            const double rounded = static_cast<double>(t);
            places[place] += rounded;
            weight += 2.0;
            slope += weight * rounded;
        }
        const double change = std::fabs(previousSum - sum);
        out.passes = pass + 1;
        if (std::isnan(change)) break;
        if (change < kChangeTolerance) {
            out.converged = true;
            out.lastSize = static_cast<double>(std::fabs(power / divisor));
            break;
        }
    }
    for (int p = 0; p < 4; ++p) out.places[p] = places[p];
    out.slope = slope;
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
//   angle is off by n times 3.1e-17). The terms of the first term's factor
//   and those of the other factor are summed apart; each sum is off by its
//   factor's relative error times itself, all of it where the exact factor
//   is 0;
// - truncation: the pass rule is absolute, so at high orders (tiny values)
//   or with cancelling phases it can stop while the terms are still far
//   above 2^-52 of the sum. The terms left out are bounded by the next two
//   terms (with their exact phases) and a geometric tail; where the terms are
//   not yet falling fast the series is not kept;
// - near the subnormal range, half a unit of 2^-1074 per term.
// kappa comes from the sum of (n + 2k) times the terms, x times the
// derivative of the sum (where it is only rounding noise it cannot make the
// comparison pass).

// The exact cos(n pi/4) and sin(n pi/4) (to the nearest double), and how far
// the computed ones are off, relative to themselves: all of it where the
// exact one is 0. The exact ones are 0, +-1 and +-sqrt(1/2), so the relative
// slip is the difference times 1 or sqrt 2 (to a factor 1 + 2^-50, which the
// margin covers).
struct PhaseSlip {
    double exactFirst;  // the exact phase of the first term
    double exactNext;   // and of place 0 (k = 1 mod 4)
    double exactAfter;  // and of place 1 (k = 2 mod 4)
    double first;       // relative slip of the first term and places 1, 3
    double second;      // relative slip of places 0, 2
};

// An exact phase factor and how its slip is measured: the difference times
// `scale`, plus `whole` (1 where the exact factor is 0, and then the scale is
// 0). Written as one product and one sum rather than as a choice, the slip
// costs no branch on n mod 8, which varies from call to call; the values are
// those of the choice, bit for bit, in every rounding mode (a difference
// times 1 or sqrt 2 plus 0, or any finite difference times 0 plus 1).
struct ExactPhase {
    double value;
    double scale;
    double whole;
};

constexpr double kRootHalfDouble = 0.7071067811865476;
constexpr ExactPhase kZeroPhase = {0, 0, 1};

constexpr ExactPhase unitPhase(double value) {
    return {value, 1, 0};
}

constexpr ExactPhase diagonalPhase(double value) {
    return {value, 1.4142135623730951, 0};
}

// cos(n pi/4) and sin(n pi/4) for n mod 8.
constexpr ExactPhase kExactCosines[8] = {
    unitPhase(1),  diagonalPhase(kRootHalfDouble),  kZeroPhase, diagonalPhase(-kRootHalfDouble),
    unitPhase(-1), diagonalPhase(-kRootHalfDouble), kZeroPhase, diagonalPhase(kRootHalfDouble)};
constexpr ExactPhase kExactSines[8] = {
    kZeroPhase, diagonalPhase(kRootHalfDouble),  unitPhase(1),  diagonalPhase(kRootHalfDouble),
    kZeroPhase, diagonalPhase(-kRootHalfDouble), unitPhase(-1), diagonalPhase(-kRootHalfDouble)};

double relativeSlip(double computed, double exact, const ExactPhase& measure) {
    return std::fabs(computed - exact) * measure.scale + measure.whole;
}

PhaseSlip phaseSlip(unsigned n, bool bei, const KelvinPhases& phases) {
    const ExactPhase& c = kExactCosines[n % 8];
    const ExactPhase& s = kExactSines[n % 8];
    // ber: first c, places -s, -c, s, c; bei: first s, places c, -s, -c, s.
    const ExactPhase& firstPhase = bei ? s : c;
    const ExactPhase& nextPhase = bei ? c : s;
    const double first = firstPhase.value, next = bei ? c.value : -s.value, after = bei ? -s.value : -c.value;
    return {first, next, after, relativeSlip(phases.first, first, firstPhase),
            relativeSlip(phases.perPass[0], next, nextPhase)};
}

// The terms after the last one K: the ratio of term k to term k - 1 is
// q_k = h^2 / (k (n + k)), falling with k, so with q = q_(K+1) the next two
// are at most lastSize q and lastSize q^2 (times their exact phases) and the
// rest at most lastSize q^3 / (1 - q). Infinite unless q < 1/2; at most
// lastSize whenever q <= 1/2, which is tried first (it needs no division).
double truncationBound(unsigned n, double x, const SeriesOutcome& out, const PhaseSlip& slip, bool coarse) {
    const double next = 4.0 * out.passes + 1;
    const double h2 = (x / 2.0) * (x / 2.0), room = next * (n + next);
    if (!(2 * h2 < room)) return INFINITY;
    if (coarse) return out.lastSize;
    const double q = h2 / room;
    const double next1 = out.lastSize * q, next2 = next1 * q;
    return std::fabs(slip.exactNext) * next1 + std::fabs(slip.exactAfter) * next2 + 2 * next2 * q;
}

bool seriesIsGood(unsigned n, double x, bool bei, const KelvinPhases& phases, const SeriesOutcome& out) {
    if (!out.converged) return false;
    const PhaseSlip slip = phaseSlip(n, bei, phases);
    // The terms of one place share their sign, so |place sum| is the sum of their sizes.
    const double sizes = std::fabs(out.first) + std::fabs(out.places[0]) + std::fabs(out.places[1]) +
                         std::fabs(out.places[2]) + std::fabs(out.places[3]);
    const double firstGroup = out.first + out.places[1] + out.places[3];
    const double secondGroup = out.places[0] + out.places[2];
    const double sum = std::fabs(out.sum);
    const double estimate = 0x1p-52 * (2 * sum + 0.5 * sizes) + slip.first * std::fabs(firstGroup) +
                            slip.second * std::fabs(secondGroup);
    const double good = 64 * 0x1p-52 * (sum + std::fabs(out.slope));
    if (sum > 0x1p-1000) {
        if (2 * (estimate + truncationBound(n, x, out, slip, true)) <= good) return true;
        return 2 * (estimate + truncationBound(n, x, out, slip, false)) <= good;
    }
    // Near the subnormal range (in extended precision, where subnormal
    // doubles cost nothing extra): half a unit of 2^-1074 per term of
    // rounding, and four such units allowed (the results then differ by at
    // most that).
    const long double tiny =
        2 * (estimate + truncationBound(n, x, out, slip, false) + 0x1p-1075L * (4 * out.passes + 1));
    return tiny <= good || tiny <= 4 * 0x1p-1074L;
}

// ---- which method answers -----------------------------------------------------

enum class KelvinMethod { Series, ExtendedSeries, LargeArgument, Overflow, Zero, BeyondReach };

// Where the series is tried at all: its error estimate never keeps a result
// beyond |x| = 27 + 0.37 n (a scan of every order up to 120 in steps of 0.002
// in x; beyond order 104 nothing is kept past |x| = 20, the absolute stopping
// rule ending those series far too early), so from 36 + 0.4 n (at most 80) on
// it is not run: it would cancel by more than 2^13 and be set aside.
double seriesReach(unsigned n) {
    const double reach = 36.0 + 0.4 * n;
    return reach < 80.0 ? reach : 80.0;
}

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
    if (ax <= seriesReach(n)) {
        const KelvinPhases phases = bei ? beiPhases(n) : berPhases(n);
        series = kelvinSeries(n, x, phases);
        seriesGood = seriesIsGood(n, x, bei, phases, series);
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
