#include "numeric/gamma/log_gamma.hpp"

#include <cmath>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kShiftTarget = 16.0;
constexpr double kSeriesRadiusSquared = 256.0;
constexpr double kReflectionLimit = 5.92;
constexpr double kTolerance = 0x1p-52;

// Bernoulli numbers B_2k, k = 0..15, each the nearest double.
constexpr double kBernoulli[16] = {
    0x1.0000000000000p+0,    // B0 = 1
    0x1.5555555555555p-3,    // B2 = 1/6
    -0x1.1111111111111p-5,   // B4 = -1/30
    0x1.8618618618618p-6,    // B6 = 1/42
    -0x1.1111111111111p-5,   // B8 = -1/30
    0x1.364d9364d9365p-4,    // B10 = 5/66
    -0x1.0330330330330p-2,   // B12 = -691/2730
    0x1.2aaaaaaaaaaabp+0,    // B14 = 7/6
    -0x1.c5e5e5e5e5e5ep+2,   // B16 = -3617/510
    0x1.b7c4f8f13e3c5p+5,    // B18 = 43867/798
    -0x1.088fe72cfe72dp+9,   // B20 = -174611/330
    0x1.8301f89467e25p+12,   // B22 = 854513/138
    -0x1.523440cc0cc0dp+16,  // B24 = -236364091/2730
    0x1.5c06d2aaaaaabp+20,   // B26 = 8553103/6
    -0x1.a089b7115c654p+24,  // B28 = -23749461029/870
    0x1.1edb2a4f34840p+29,   // B30 = 8615841276005/14322
};

tabulComplex add(const tabulComplex& a, const tabulComplex& b) {
    return {a.re + b.re, a.im + b.im};
}

// The shift count of the recurrences: trunc(d) for 0 <= d <= 16, which the
// callers guarantee for finite arguments; a NaN gives no shift.
int shiftCount(double d) {
    if (!(d >= 0.0)) return 0;
    if (d > kShiftTarget) return static_cast<int>(kShiftTarget);
    return static_cast<int>(d);
}

// The product (z + first step) (z + (first + 1) step) ... (z + last step),
// 1 when empty, with the number of times its phase wrapped past +pi. Each factor
// lies in the upper half-plane, so the phase only grows, by less than pi a
// factor: a wrap is a step from a non-negative to a negative imaginary part.
struct WoundProduct {
    tabulComplex value;
    int turns;
};

WoundProduct windingProduct(const tabulComplex& z, double step, int first, int last) {
    // Multiplying 1 by the first factor gives that factor exactly.
    WoundProduct p{{1.0, 0.0}, 0};
    for (int k = first; k <= last; ++k) {
        const bool wasNonNegative = p.value.im >= 0.0;
        p.value = complexMul(p.value, {z.re + k * step, z.im});
        if (wasNonNegative && p.value.im < 0.0) ++p.turns;
    }
    return p;
}

}  // namespace

tabulComplex stirlingSeriesLnGamma(tabulComplex z) {
    const tabulComplex l = complexLog(z);
    tabulComplex w = complexMul({z.re - 0.5, z.im}, l);
    w = {w.re - z.re + kHalfLogTwoPi, w.im - z.im};
    tabulComplex r = realDivComplex(1.0, z);
    const tabulComplex r2 = complexMul(r, r);
    for (int k = 1; k <= 15; ++k) {
        const int divisor = 2 * k * (2 * k - 1);
        const double c = kBernoulli[k] / divisor;
        const tabulComplex t = realMulComplex(c, r);
        if (std::fabs(w.re) * kTolerance >= std::fabs(t.re) &&
            std::fabs(w.im) * kTolerance >= std::fabs(t.im))
            break;
        w = add(w, t);
        r = complexMul(r, r2);
    }
    return w;
}

tabulComplex lnGammaUpShift(double x, double y) {
    const tabulComplex z{x, y};
    if (x * x + y * y >= kSeriesRadiusSquared) return stirlingSeriesLnGamma(z);
    const int n = shiftCount(kShiftTarget - x);
    // Gamma(z) = Gamma(z + n) / (z (z + 1) ... (z + n - 1)).
    const WoundProduct p = windingProduct(z, 1.0, 0, n - 1);
    const tabulComplex s = stirlingSeriesLnGamma({x + n, y});
    return {s.re - std::log(complexAbs(p.value)),
            s.im - complexArg(p.value.im, p.value.re) - kTwoPi * p.turns};
}

tabulComplex lnGammaDownShift(double x, double y) {
    const tabulComplex z{x, y};
    if (x * x + y * y >= kSeriesRadiusSquared) return stirlingSeriesLnGamma(z);
    const int n = shiftCount(x + kShiftTarget);
    // Gamma(z) = Gamma(z - n) (z - 1) (z - 2) ... (z - n).
    const WoundProduct p = windingProduct(z, -1.0, 1, n);
    const tabulComplex s = stirlingSeriesLnGamma({x - n, y});
    return {s.re + std::log(complexAbs(p.value)),
            s.im + complexArg(p.value.im, p.value.re) + kTwoPi * p.turns};
}

tabulComplex lnGammaReflect(double x, double y) {
    // Gamma(z) Gamma(1 - z) = pi / sin(pi z); the even shift 2e moves the
    // sine's argument to the right without changing the sine.
    const double e = std::floor(-2.0 * x);
    const double shifted = x + 2.0 * e;
    const tabulComplex s = complexSin({kPi * shifted, kPi * y});
    tabulComplex f = realDivComplex(kPi, s);
    // On half-integers sin(pi z) is real in exact arithmetic.
    if (x - std::ceil(x) == -0.5) f.im = 0.0;
    // Branch correction: the count of half-turns of pi / sin(pi z) left of 0.
    const double m = std::ceil(0.5 * x - 0.75);
    const tabulComplex l = complexLog(f);
    const tabulComplex g = complexLnGamma(1.0 - x, -y);
    return {l.re - g.re, l.im - g.im + kTwoPi * m};
}

tabulComplex complexLnGamma(double x, double y) {
    if (y == 0.0) {
        if (x > 0.0) return {realLogGamma(x), 0.0};
        if (x == std::floor(x)) Throw("function is undefined for 0 and negative integers", 1);
        return {realLogGamma(x), kPi * std::ceil(x - 1.0)};
    }
    if (std::isnan(x) || std::isnan(y)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    const double v = std::fabs(y);
    tabulComplex r{0.0, 0.0};
    if (x >= 0.0) {
        r = lnGammaUpShift(x, v);
    } else if (v > kReflectionLimit) {
        r = lnGammaDownShift(x, v);
    } else {
        r = lnGammaReflect(x, v);
    }
    if (y < 0.0) return {r.re, -r.im};
    return r;
}

void tabulLnGamma(tabulComplex& res, const tabulComplex& a) {
    res = complexLnGamma(a.re, a.im);
}

}  // namespace Oru
