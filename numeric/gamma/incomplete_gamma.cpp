#include "numeric/gamma/incomplete_gamma.hpp"

#include <cmath>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/core/fpu_guard.hpp"
#include "numeric/gamma/log_gamma_differences.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/gamma/small_order_upper_gamma.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// Below it x^a e^-x / Gamma(a) leaves the extended range.
constexpr double kUnderflowBound = -kLogExtendedMax;
constexpr double kTolerance = 0x1p-52;
// ln of the smallest normal double, 2^-1022, and of the largest double.
constexpr double kLogSmallestNormal = -708.3964185322641;
constexpr double kLogLargestDouble = 709.782712893384;
// The small-order method serves a ln(1 + 1/x) below this bound, x <= 1.
constexpr double kSmallOrderBound = 0.1;
// ln(1 + 1/x) >= ln 2 for x <= 1, so from this order on a ln(1 + 1/x) is
// above the bound (0.15 ln 2 = 0.104, far beyond the logarithms' rounding)
// and they need not be taken.
constexpr double kSmallOrderAbove = 0.15;
// From this order on, ln(x^a e^-x / Gamma(a)) is formed from Stirling's series.
constexpr double kStirlingPrefactorOrder = 300.0;
constexpr double kRescaleThreshold = 0x1p57;
constexpr double kRescaleFactor = 0x1p-57;
// Near x = a the continued fraction needs about 9 a^(1/3) steps and the power
// series about sqrt(72 a) terms (2000 and 27000 at a = 1e7); elsewhere far
// fewer. The caps let them serve orders up to about 1e10 and stop a fraction
// that cycles on its last bits (accepted if it has settled to 1e-13) or meets
// a pair of zero denominators; beyond them the call raises "not converging".
constexpr int kFractionStepLimit = 50000;
constexpr int kSeriesTermLimit = 1000000;
constexpr long double kSettled = 1e-13L;

// The ways of forming ln(x^a e^-x / Gamma(a)).
enum class PrefactorMethod {
    LogGamma,  // a ln x - x - ln Gamma(a)
    Stirling,  // the same without the cancellation of its terms, for large orders
};

// a ln x - x - ln Gamma(a) is a difference of terms as large as a ln a, and
// the rounding of ln Gamma(a) to a double alone costs a ln a units of 2^-53
// in P and Q. Measured against high-precision values at integer orders (P's
// condition then counts x alone), that exceeds 64 (1 + condition) units of
// 2^-52 from about a = 850 on and stays below half of it up to 300.
PrefactorMethod choosePrefactorMethod(double a) {
    return a < kStirlingPrefactorOrder ? PrefactorMethod::LogGamma : PrefactorMethod::Stirling;
}

// With ln Gamma(a) = (a - 1/2) ln a - a + ln(2 pi)/2 + w(a) and t = (x - a)/a:
//   a ln x - x - ln Gamma(a) = -a (t - ln(1 + t)) + ln(a / (2 pi)) / 2 - w(a),
// every term as small as the result allows.
long double stirlingLogPrefactor(double a, double x) {
    const long double la = a;
    const long double t = (x - la) / la;
    return -la * linearMinusLog1p(t) + 0.5L * std::log(la / kTwoPiExtended) - stirlingRemainder(la);
}

// ln(x^a e^-x / Gamma(a)), extended.
long double logPrefactor(double a, double x) {
    if (choosePrefactorMethod(a) == PrefactorMethod::Stirling) return stirlingLogPrefactor(a, x);
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
    if (t > kSettled) Throw("not converging", kNoArgument);
    return ans;
}

// Q(a, x) from e = logPrefactor(a, x), within range.
double upperFromPrefactor(double a, double x, long double e) {
    const double f = static_cast<double>(std::exp(e));
    return static_cast<double>(f * continuedFraction(a, x));
}

// P(a, x) by its power series from e = logPrefactor(a, x), within range.
double lowerFromPrefactor(double a, double x, long double e) {
    const long double f = std::exp(e);
    // The terms x^k / ((a + 1) ... (a + k)) fall at least geometrically once
    // a + k > x, and here x <= max(1, a).
    long double r = a;
    long double c = 1.0L;
    long double s = 1.0L;
    int terms = 0;
    do {
        r = r + 1.0L;
        c = (c / r) * x;
        s = s + c;
    } while (c / s > kTolerance && ++terms < kSeriesTermLimit);
    if (c / s > kSettled) Throw("not converging", kNoArgument);
    return static_cast<double>(static_cast<double>(s) / static_cast<long double>(a) * f);
}

// The region in which P is taken as 1 - Q.
bool inContinuedFractionRegion(double a, double x) {
    return x > 1.0 && x > a;
}

// Gamma(a, x) = x^a e^-x times the fraction, in the extended range, for
// x > 1, x > a, where Gamma(a) Q would leave the double range in one of its
// factors: Gamma(a) beyond it (a > 171.6), or Q below the normal range, where
// Gamma(a, x) itself may lie well inside it. Raises "underflow" where x^a e^-x
// is below the extended range, or where the result is below the double range
// and so is the regularized exponent, and "overflow" where the result is
// beyond the double range.
double upperGammaScaled(double a, double x) {
    if (std::isinf(x)) return 0.0;
    const long double logScale = a * std::log(static_cast<long double>(x)) - x;
    if (logScale < kUnderflowBound) Throw("underflow", kNoArgument);
    const long double scale = std::exp(logScale);
    // The fraction lies between 1/(x + 1) and 1.
    if (std::isinf(scale)) Throw("overflow", kNoArgument);
    const double value = static_cast<double>(scale * continuedFraction(a, x));
    if (std::isinf(value)) Throw("overflow", kNoArgument);
    if (value == 0.0 && logPrefactor(a, x) < kUnderflowBound) Throw("underflow", kNoArgument);
    return value;
}

// P(a, x) for Gamma(a, x) in the series region: 0 at x = 0 and where P is
// below the extended range, for Gamma(a, x) is then Gamma(a) to every digit.
double lowerOrZero(double a, double x) {
    if (x <= 0.0) return 0.0;
    const long double e = logPrefactor(a, x);
    return e < kUnderflowBound ? 0.0 : lowerFromPrefactor(a, x, e);
}

// Gamma(a, x) = Gamma(a) (1 - P) for x <= a where Gamma(a) exceeds the double
// range: formed as exp(ln Gamma(a) + ln(1 - P)). Raises "overflow" where that
// is beyond the double range, which for a >= 1 is certain once Gamma(a) / e
// is, as Gamma(a, x) >= Gamma(a, a) >= Gamma(a) / e there: only orders just
// above 171.6 need P.
double upperGammaOfLargeOrder(double a, double x) {
    const double logGammaA = realLogGamma(a);
    if (logGammaA - 1.0 > kLogLargestDouble) Throw("overflow", kNoArgument);
    const long double logValue = logGammaA + std::log1p(-static_cast<long double>(lowerOrZero(a, x)));
    const double value = static_cast<double>(std::exp(logValue));
    if (std::isinf(value)) Throw("overflow", kNoArgument);
    return value;
}

// The ways of computing Gamma(a, x).
enum class UpperGammaMethod {
    LowerSeries,        // Gamma(a) (1 - P), P by its power series
    SmallOrderSeries,   // a and x small: without the difference Gamma(a) - gamma(a, x)
    LargeOrderSeries,   // Gamma(a) beyond the double range, x <= a
    ContinuedFraction,  // Gamma(a) Q, Q by its continued fraction
    ScaledFraction,     // x^a e^-x times the fraction
};

// Where Gamma(a) (1 - P) cancels: for a small order 1 - P is about a E1(x),
// and E1(x) about ln(1 + 1/x) for x <= 1, so that P / (1 - P), the factor by
// which the rounding of P grows, is about 1 / (a ln(1 + 1/x)). Measured against
// high-precision values, Gamma(a) (1 - P) exceeds 64 units of 2^-52 up to
// a ln(1 + 1/x) = 0.026 and stays below a third of that from 0.1 on.
bool inSmallOrderRegion(double a, double x) {
    if (!(x > 0.0 && x <= 1.0 && a < kSmallOrderAbove)) return false;
    return a * (std::log1p(x) - std::log(x)) < kSmallOrderBound;
}

// The method, and for the continued fraction the logarithm of its prefactor,
// ln(x^a e^-x / Gamma(a)), which the choice has formed.
struct UpperGammaChoice {
    UpperGammaMethod method;
    long double logPrefactor;
};

UpperGammaChoice chooseUpperGammaMethod(double a, double x, double gammaA) {
    if (inContinuedFractionRegion(a, x)) {
        if (std::isinf(gammaA)) return {UpperGammaMethod::ScaledFraction, 0.0L};
        const long double e = logPrefactor(a, x);
        if (e < kLogSmallestNormal) return {UpperGammaMethod::ScaledFraction, e};
        return {UpperGammaMethod::ContinuedFraction, e};
    }
    if (inSmallOrderRegion(a, x)) return {UpperGammaMethod::SmallOrderSeries, 0.0L};
    if (std::isinf(gammaA)) return {UpperGammaMethod::LargeOrderSeries, 0.0L};
    return {UpperGammaMethod::LowerSeries, 0.0L};
}

// Q(a, x) from e = logPrefactor(a, x), for x > 1, x > a.
double upperFromLogPrefactor(double a, double x, long double e) {
    // Q(a, +inf) = 0; the convergents would give inf / inf.
    if (std::isinf(x)) return 0.0;
    if (e < kUnderflowBound) Throw("underflow", kNoArgument);
    return upperFromPrefactor(a, x, e);
}

void rejectNonReal(const tabulComplex& v, unsigned argIndex) {
    if (!v.isReal()) Throw("must be real", argIndex);
}

}  // namespace

double regUpperGamma(double a, double x) {
    if (std::isinf(x)) return 0.0;
    return upperFromLogPrefactor(a, x, logPrefactor(a, x));
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
    return lowerFromPrefactor(a, x, e);
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
    double value = 0.0;
    const UpperGammaChoice choice = chooseUpperGammaMethod(a.re, x.re, g);
    switch (choice.method) {
        case UpperGammaMethod::LowerSeries:
            value = (1.0 - lowerOrZero(a.re, x.re)) * g;
            break;
        case UpperGammaMethod::SmallOrderSeries:
            value = upperGammaSmallOrder(a.re, x.re);
            break;
        case UpperGammaMethod::LargeOrderSeries:
            value = upperGammaOfLargeOrder(a.re, x.re);
            break;
        case UpperGammaMethod::ContinuedFraction:
            // Gamma(a, x) = Gamma(a) Q directly: 1 - (1 - Q) would cancel.
            value = upperFromLogPrefactor(a.re, x.re, choice.logPrefactor) * g;
            break;
        case UpperGammaMethod::ScaledFraction:
            value = upperGammaScaled(a.re, x.re);
            break;
    }
    res.re = value;
    res.im = 0.0;
}

}  // namespace Oru
