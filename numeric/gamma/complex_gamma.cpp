#include "numeric/gamma/complex_gamma.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/core/fpu_guard.hpp"
#include "numeric/core/integer.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// ln Gamma(z) = ln Gamma(z + 11) - sum ln(z + k), k = 0..10; the series
// has the factor (z + 10.5) = (z + 11) - 1/2.
constexpr int kShift = 11;
constexpr double kShiftPoint = 11.0;
constexpr double kHalfShiftPoint = 10.5;
// The series denominators: B_2k / (2k (2k - 1)) = 1 / D_k, k = 1..5.
constexpr double kStirlingDenominators[] = {12.0, -360.0, 1260.0, -1680.0, 1188.0};

constexpr double kDominanceGap = 20.0;
constexpr double kLogRange = 350.0;
constexpr double kFlushBound = 3.14e-153;

// ln(pi / sin(pi z)) where sin(pi z) leaves the double range (|Im z| above
// about 226). There, for y > 0, sin(pi z) = (i/2) e^(-i pi z) (1 - e^(2 i pi z))
// with |e^(2 i pi z)| below e^-1400, so
//   ln(pi / sin(pi z)) = ln(2 pi) - pi y + i (pi x - pi/2),
// and the conjugate for y < 0. x enters modulo 2, the period of e^(i pi x).
tabulComplex logReflectionFactorFarFromAxis(const tabulComplex& z) {
    const double phase = kPi * std::fmod(z.re, 2.0) - kPi / 2;
    if (z.im > 0.0) return {kLogTwoPi - kPi * z.im, phase};
    return {kLogTwoPi + kPi * z.im, -phase};
}

// pi / sin(pi z) from s = sin(pi z). For a real z it is formed in real
// arithmetic: the complex quotient's 1/s * 0 would make a NaN of the imaginary
// part where 1/s overflows (z below about 1e-308 in magnitude), and elsewhere
// both give the same bits, -0.0 as the imaginary part included.
tabulComplex reflectionFactor(const tabulComplex& s, const tabulComplex& z) {
    if (z.im == 0.0) return {kPi * (1.0 / s.re), -0.0};
    return realDivComplex(kPi, s);
}

// Gamma(z) = pi / (sin(pi z) Gamma(1 - z)), with z itself in the sine;
// logOfReciprocal is -ln Gamma(1 - z) and reciprocal its exponential.
tabulComplex reflectGamma(const tabulComplex& reciprocal, const tabulComplex& logOfReciprocal,
                          const tabulComplex& z) {
    const tabulComplex s = complexSin(realMulComplex(kPi, z));
    if (std::isfinite(s.re) && std::isfinite(s.im)) return complexMul(reciprocal, reflectionFactor(s, z));
    // The sine overflowed: pi / sin would be inf / inf = NaN although Gamma(z)
    // is representable (or underflows to 0). Combine the two factors as
    // logarithms instead.
    if (!std::isfinite(z.re) || !std::isfinite(z.im)) return complexMul(reciprocal, realDivComplex(kPi, s));
    const tabulComplex logF = logReflectionFactorFarFromAxis(z);
    return complexExp({logOfReciprocal.re + logF.re, logOfReciprocal.im + logF.im});
}

}  // namespace

double hypotFlushed(double a, double b) {
    if (std::fabs(a) < kFlushBound) a = 0.0;
    if (std::fabs(b) < kFlushBound) b = 0.0;
    return std::sqrt(a * a + b * b);
}

double complexAbsWide(double x, double y) {
    if (y == 0.0) return std::fabs(x);
    if (x == 0.0) return std::fabs(y);
    const double g = std::log(std::fabs(x));
    const double h = std::log(std::fabs(y));
    if (std::fabs(g - h) > kDominanceGap) return g > h ? std::fabs(x) : std::fabs(y);
    if (std::fabs(g) < kLogRange && std::fabs(h) < kLogRange) return hypotFlushed(x, y);
    // Squares would leave the range: |z| = y / sin(arg z).
    return y / std::sin(complexArg(y, x));
}

tabulComplex complexLogWide(double x, double y) {
    return {std::log(complexAbsWide(x, y)), complexArg(y, x)};
}

// The series is summed in doubles: an extended sum halves the typical error
// but doubles the cost of Gamma(x), and the logarithms it adds are doubles in
// any case.
tabulComplex stirlingComplexLnGamma(double x, double y) {
    tabulComplex sum{0.0, 0.0};
    for (int k = 0; k < kShift; ++k) {
        const tabulComplex l = complexLogWide(x + k, y);
        sum.re = sum.re - l.re;
        sum.im = sum.im - l.im;
    }
    const tabulComplex w{x + kShiftPoint, y};
    const tabulComplex one{1.0, 0.0};
    const tabulComplex r2 = complexQuotient(one, complexMul(w, w));
    tabulComplex t = complexQuotient(one, w);
    for (const double d : kStirlingDenominators) {
        sum.re = sum.re + t.re / d;
        sum.im = sum.im + t.im / d;
        t = complexMul(t, r2);
    }
    const tabulComplex m = complexMul(complexLogWide(x + kShiftPoint, y), {x + kHalfShiftPoint, y});
    return {sum.re + m.re + kHalfLogTwoPi - x - kShiftPoint, sum.im + m.im - y};
}

// The real part of stirlingComplexLnGamma(x, +-0) for a finite x >= 0.5,
// bit for bit, at the cost of its real operations: there every logarithm's
// argument is positive, so its phase is exactly 0, and every imaginary part
// is a zero whose products only ever subtract a zero from a real part.
double stirlingRealLnGamma(double x) {
    double sum = 0.0;
    for (int k = 0; k < kShift; ++k) sum = sum - std::log(x + k);
    const double w = x + kShiftPoint;
    const double r2 = 1.0 / (w * w);
    double t = 1.0 / w;
    for (const double d : kStirlingDenominators) {
        sum = sum + t / d;
        t = t * r2;
    }
    const double m = std::log(w) * (x + kHalfShiftPoint);
    return sum + m + kHalfLogTwoPi - x - kShiftPoint;
}

// ln Gamma(x + iy) by the series, or its real part alone where the argument
// is real and finite (the imaginary part is then dropped anyway).
tabulComplex stirlingLnGamma(double x, double y) {
    if (y == 0.0 && std::isfinite(x)) return {stirlingRealLnGamma(x), 0.0};
    return stirlingComplexLnGamma(x, y);
}

void tabulGamma1(tabulComplex& res, const tabulComplex& a) {
    // Everything here is computed in doubles: the x87 flags cannot change.
    const FpuPrecisionGuard guard(FpuPrecisionGuard::X87Use::NoExtendedValues);
    const double x = a.re;
    const double y = a.im;
    if (y == 0.0 && checkInteger(x) == IsInteger) {
        if (x <= 0.0) Throw("function is undefined for 0 and negative integers", 1);
        res.re = Factorial(acceptedInteger(x) - 1);
        res.im = 0.0;
        return;
    }
    const bool reflect = x < 0.5;
    tabulComplex t{0.0, 0.0};
    if (reflect) {
        t = stirlingLnGamma(1.0 - x, -y);
        t = {-t.re, -t.im};
    } else {
        t = stirlingLnGamma(x, y);
    }
    if (y == 0.0) t.im = 0.0;
    // e^(t + 0i) = e^t (cos 0 + i sin 0): for a finite real argument the real
    // part is e^t itself, and the imaginary part e^t * 0 is a zero (e^t is
    // finite where the reflection reads it, and replaced below otherwise).
    tabulComplex value = y == 0.0 && std::isfinite(x) ? tabulComplex(std::exp(t.re), 0.0) : complexExp(t);
    if (reflect) value = reflectGamma(value, t, a);
    // A real argument whose Gamma(x) overflows: the infinity times the zero
    // sine of the exponential (or of the reflection's factor) is NaN, and the
    // result is the real infinity. Every other imaginary part of a real
    // argument stands as computed: -0.0 where the reflection's sine is
    // negative, NaN for a NaN argument.
    if (y == 0.0 && std::isinf(value.re) && std::isnan(value.im)) value.im = 0.0;
    res = value;
}

}  // namespace Oru
