#include "numeric/gamma/incomplete_gamma.hpp"

#include <cmath>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/core/fpu_guard.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// Below it x^a e^-x / Gamma(a) leaves the extended range.
constexpr double kUnderflowBound = -kLogExtendedMax;
constexpr double kTolerance = 0x1p-52;
constexpr double kRescaleThreshold = 0x1p57;
constexpr double kRescaleFactor = 0x1p-57;
// The continued fraction converges within about 200 steps for every order
// up to 16383 ln 2, beyond which ln Gamma(a) raises "overflow". Only Gamma(a, x)
// of an order whose Gamma(a) overflows reaches it with larger orders, and a
// slow fraction there belongs to a result far beyond the range. The cap stops
// such a fraction, a rounding cycle or a pair of zero denominators.
constexpr int kFractionStepLimit = 100000;

// ln(x^a e^-x / Gamma(a)), extended.
long double logPrefactor(double a, double x) {
    const double logGammaA = realLogGamma(a);
    return a * std::log(static_cast<long double>(x)) - x - logGammaA;
}

// The continued fraction of Q(a, x) x^-a e^x Gamma(a) by its convergents,
// for finite x > 1, x > a.
long double continuedFraction(double a, double x) {
    long double y = 1.0L - a;
    long double z = x + y + 1.0L;
    long double c = 0.0L;
    double pPrev2 = 1.0;
    double qPrev2 = x;
    double pPrev1 = static_cast<double>(x + 1.0L);
    double qPrev1 = static_cast<double>(z * x);
    long double ans = pPrev1 / static_cast<long double>(qPrev1);
    long double t;
    int steps = 0;
    do {
        c = c + 1.0L;
        y = y + 1.0L;
        z = z + 2.0L;
        const long double yc = y * c;
        const double p = static_cast<double>(pPrev1 * z - pPrev2 * yc);
        const double q = static_cast<double>(qPrev1 * z - qPrev2 * yc);
        if (q != 0.0) {
            const long double r = static_cast<long double>(p) / q;
            t = std::fabs((ans - r) / r);
            ans = r;
        } else {
            t = 1.0L;
        }
        pPrev2 = pPrev1;
        pPrev1 = p;
        qPrev2 = qPrev1;
        qPrev1 = q;
        if (std::fabs(p) > kRescaleThreshold) {
            pPrev2 = pPrev2 * kRescaleFactor;
            pPrev1 = pPrev1 * kRescaleFactor;
            qPrev2 = qPrev2 * kRescaleFactor;
            qPrev1 = qPrev1 * kRescaleFactor;
        }
    } while (t > kTolerance && ++steps < kFractionStepLimit);
    return ans;
}

// Q(a, x) from e = logPrefactor(a, x), within range.
double upperFromPrefactor(double a, double x, long double e) {
    const double f = static_cast<double>(std::exp(e));
    return static_cast<double>(f * continuedFraction(a, x));
}

// Gamma(a, x) = x^a e^-x times the fraction, in the extended range, for an
// order whose Gamma(a) exceeds the double range (a > 171.6), where Gamma(a) Q
// would be inf * Q although Gamma(a, x) may lie well inside the range; x > 1,
// x > a. Raises "underflow" where x^a e^-x is below the extended range.
double upperGammaOfLargeOrder(double a, double x) {
    if (std::isinf(x)) return 0.0;
    const long double logScale = a * std::log(static_cast<long double>(x)) - x;
    if (logScale < kUnderflowBound) Throw("underflow", kNoArgument);
    const long double scale = std::exp(logScale);
    // The fraction is positive and at most 1: beyond the extended range,
    // the result is beyond the double range.
    if (std::isinf(scale)) return std::numeric_limits<double>::infinity();
    return static_cast<double>(scale * continuedFraction(a, x));
}

// The region in which P is taken as 1 - Q.
bool inContinuedFractionRegion(double a, double x) {
    return x > 1.0 && x > a;
}

void rejectNonReal(const tabulComplex& v, unsigned argIndex) {
    if (!v.isReal()) Throw("must be real", argIndex);
}

}  // namespace

double regUpperGamma(double a, double x) {
    // Q(a, +inf) = 0; the convergents would give inf / inf.
    if (std::isinf(x)) return 0.0;
    const long double e = logPrefactor(a, x);
    if (e < kUnderflowBound) Throw("underflow", kNoArgument);
    return upperFromPrefactor(a, x, e);
}

double regLowerGamma(double a, double x) {
    if (x <= 0.0 || a <= 0.0) return 0.0;
    if (inContinuedFractionRegion(a, x)) {
        if (std::isinf(x)) return 1.0;
        const long double e = logPrefactor(a, x);
        // Q below the extended range: P is 1 to every digit.
        if (e >= kUnderflowBound) return 1.0 - upperFromPrefactor(a, x, e);
        return 1.0;
    }
    const long double e = logPrefactor(a, x);
    if (e < kUnderflowBound) Throw("underflow", kNoArgument);
    const long double f = std::exp(e);
    // The terms x^k / ((a + 1) ... (a + k)) fall at least geometrically once
    // a + k > x, and here a <= 16383 ln 2 and x <= max(1, a): the loop ends.
    long double r = a;
    long double c = 1.0L;
    long double s = 1.0L;
    do {
        r = r + 1.0L;
        c = (c / r) * x;
        s = s + c;
    } while (c / s > kTolerance);
    return static_cast<double>(static_cast<double>(s) / static_cast<long double>(a) * f);
}

void tabulIgamma(tabulComplex& res, const tabulComplex& a, const tabulComplex& x) {
    rejectNonReal(a, 1);
    rejectNonReal(x, 2);
    // The order is truncated toward zero; beyond the 32-bit range, where a
    // conversion to int is not defined, it is truncated as a double.
    const double n = std::trunc(a.re);
    res.re = std::isnan(n) ? std::numeric_limits<double>::quiet_NaN() : regLowerGamma(n, x.re);
    res.im = 0.0;
}

void tabulGamma2(tabulComplex& res, const tabulComplex& a, const tabulComplex& x) {
    const FpuPrecisionGuard guard;
    rejectNonReal(a, 1);
    if (a.re < 0.0) Throw("must be non-negative", 1);
    rejectNonReal(x, 2);
    if (x.re < 0.0) Throw("must be non-negative", 2);
    const double g = realGamma(a.re);
    double value;
    if (inContinuedFractionRegion(a.re, x.re)) {
        // Gamma(a, x) = Gamma(a) Q directly: 1 - (1 - Q) would cancel.
        if (std::isinf(g)) {
            value = upperGammaOfLargeOrder(a.re, x.re);
        } else {
            value = regUpperGamma(a.re, x.re) * g;
        }
    } else {
        value = (1.0 - regLowerGamma(a.re, x.re)) * g;
    }
    res.re = value;
    res.im = 0.0;
}

}  // namespace Oru
