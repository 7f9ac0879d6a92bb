#include <cmath>

#include "bench/family_floors.hpp"
#include "numeric/core/constants.hpp"
#include "numeric/core/fpu_guard.hpp"
#include "numeric/core/integer.hpp"
#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "oru/utility.hpp"

namespace OruBench {

namespace {

using namespace Oru;

// Gamma(z) and Gamma(a, x) open the floating-point guard; their floors open
// it in the same form (Gamma(z) computes in doubles only).
using Guard = FpuPrecisionGuard;
constexpr Guard::X87Use kDoublesOnly = Guard::X87Use::NoExtendedValues;

// ln Gamma(x), x >= 0.5: eleven logarithms of the shift, the series' five
// terms, the last logarithm.
double shiftedStirling(double x) {
    constexpr double kDenominators[] = {12.0, -360.0, 1260.0, -1680.0, 1188.0};
    double sum = 0.0;
    for (int k = 0; k < 11; ++k) sum = sum - std::log(x + k);
    const double w = x + 11.0;
    const double r2 = 1.0 / (w * w);
    double t = 1.0 / w;
    for (const double d : kDenominators) {
        sum = sum + t / d;
        t = t * r2;
    }
    return sum + std::log(w) * (x + 10.5) + kHalfLogTwoPi - x - 11.0;
}

// Gamma(x) of a real x: the integer test, then the factorial, or the series
// at x, or at 1 - x with pi / sin(pi x) (the sine and the quotient of a real
// argument in real arithmetic).
void gammaRealFloor(tabulComplex& r, const tabulComplex* a) {
    const Guard guard(kDoublesOnly);
    const double x = a[0].re;
    if (checkInteger(x) == IsInteger) {
        if (x <= 0.0) Throw("function is undefined for 0 and negative integers", 1);
        r.re = Factorial(acceptedInteger(x) - 1);
    } else if (x >= 0.5) {
        r.re = std::exp(shiftedStirling(x));
    } else {
        r.re = std::exp(-shiftedStirling(1.0 - x)) * (kPi * (1.0 / std::sin(x * kPi)));
    }
}

void gammaComplexFloor(tabulComplex& r, const tabulComplex* a) {
    const Guard guard(kDoublesOnly);
    r = complexExp(stirlingComplexLnGamma(a[0].re, a[0].im));
}

void gammaComplexReflectionFloor(tabulComplex& r, const tabulComplex* a) {
    const Guard guard(kDoublesOnly);
    const tabulComplex l = stirlingComplexLnGamma(1.0 - a[0].re, -a[0].im);
    const tabulComplex reciprocal = complexExp({-l.re, -l.im});
    const tabulComplex s = complexSin(realMulComplex(kPi, a[0]));
    r = complexMul(reciprocal, realDivComplex(kPi, s));
}

// ln Gamma: the routine of the region alone (the pools lie in the upper
// half-plane, where no conjugation follows).
void lnGammaRealFloor(tabulComplex& r, const tabulComplex* a) {
    r.re = realLogGamma(a[0].re);
}

void lnGammaUpShiftFloor(tabulComplex& r, const tabulComplex* a) {
    r = lnGammaUpShift(a[0].re, a[0].im);
}

void lnGammaSeriesFloor(tabulComplex& r, const tabulComplex* a) {
    r = stirlingSeriesLnGamma(a[0]);
}

void lnGammaReflectionFloor(tabulComplex& r, const tabulComplex* a) {
    r = lnGammaReflect(a[0].re, a[0].im);
}

void lnGammaDownShiftFloor(tabulComplex& r, const tabulComplex* a) {
    r = lnGammaDownShift(a[0].re, a[0].im);
}

// P(a, x) by its power series: ln(x^a e^-x / Gamma(a)) in extended
// precision, its exponential, and the terms x^k / ((a + 1) ... (a + k)) until
// they fall below 2^-52 of the sum.
double lowerSeries(double a, double x) {
    const long double e = a * std::log(static_cast<long double>(x)) - x - realLogGamma(a);
    if (e < -kLogExtendedMax) Throw("underflow", kNoArgument);
    const long double f = std::exp(e);
    long double r = a;
    long double c = 1.0L;
    long double s = 1.0L;
    do {
        r = r + 1.0L;
        c = (c / r) * x;
        s = s + c;
    } while (c / s > 0x1p-52);
    return static_cast<double>(static_cast<double>(s) / static_cast<long double>(a) * f);
}

// The order of Igamma, truncated toward zero.
double truncatedOrder(const tabulComplex* a) {
    return static_cast<double>(static_cast<int>(a[0].re));
}

void igammaSeriesFloor(tabulComplex& r, const tabulComplex* a) {
    const double n = truncatedOrder(a);
    const double x = a[1].re;
    if (x <= 0.0 || n <= 0.0) return;
    r.re = lowerSeries(n, x);
}

// P = 1 - Q, Q by the continued fraction from its own prefactor.
void igammaFractionFloor(tabulComplex& r, const tabulComplex* a) {
    r.re = 1.0 - regUpperGamma(truncatedOrder(a), a[1].re);
}

void upperGammaSeriesFloor(tabulComplex& r, const tabulComplex* a) {
    const Guard guard;
    const double g = realGamma(a[0].re);
    const double x = a[1].re;
    r.re = (1.0 - (x <= 0.0 ? 0.0 : lowerSeries(a[0].re, x))) * g;
}

// Gamma(a, x) = Gamma(a) Q.
void upperGammaFractionFloor(tabulComplex& r, const tabulComplex* a) {
    const Guard guard;
    const double g = realGamma(a[0].re);
    r.re = regUpperGamma(a[0].re, a[1].re) * g;
}

constexpr FloorEntry kFloors[] = {
    {"Gamma(z)", "real, x >= 0.5", &gammaRealFloor},
    {"Gamma(z)", "real reflection, x < 0.5", &gammaRealFloor},
    {"Gamma(z)", "positive integer (factorial)", &gammaRealFloor},
    {"Gamma(z)", "complex, Re z >= 0.5", &gammaComplexFloor},
    {"Gamma(z)", "complex reflection, Re z < 0.5", &gammaComplexReflectionFloor},
    {"LnGamma", "real, x > 0", &lnGammaRealFloor},
    {"LnGamma", "near the origin, |z| < 16 (up-shift)", &lnGammaUpShiftFloor},
    {"LnGamma", "far from the origin, |z| >= 16 (series alone)", &lnGammaSeriesFloor},
    {"LnGamma", "Re z < 0, |Im z| <= 5.92 (reflection)", &lnGammaReflectionFloor},
    {"LnGamma", "Re z < 0, |Im z| > 5.92 (down-shift)", &lnGammaDownShiftFloor},
    {"Igamma", "power series, x <= max(1, a)", &igammaSeriesFloor},
    {"Igamma", "continued fraction, x > max(1, a)", &igammaFractionFloor},
    {"Gamma(a,x)", "power series, x <= max(1, a)", &upperGammaSeriesFloor},
    {"Gamma(a,x)", "continued fraction, x > max(1, a)", &upperGammaFractionFloor},
};

}  // namespace

std::span<const FloorEntry> gammaFamilyFloors() {
    return kFloors;
}

}  // namespace OruBench
