#include "numeric/core/complex.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"

namespace Oru {

double complexArg(double y, double x) {
    if (x == 0.0) return y > 0.0 ? kHalfPi : -kHalfPi;
    if (y == 0.0) return x > 0.0 ? 0.0 : kPi;
    return std::atan2(y, x);
}

double complexAbs(const tabulComplex& z) {
    if (z.im == 0.0) return std::fabs(z.re);
    if (z.re == 0.0) return std::fabs(z.im);
    const double a = std::fabs(z.re);
    const double b = std::fabs(z.im);
    if (a > b) {
        const double q = b / a;
        return a * std::sqrt(1.0 + q * q);
    }
    const double q = a / b;
    return b * std::sqrt(1.0 + q * q);
}

tabulComplex complexDiv(const tabulComplex& a, const tabulComplex& b) {
    if (b.re == 0.0 && b.im == 0.0 && a.re == 0.0 && a.im == 0.0) return {0.0, 0.0};
    if (std::fabs(b.im) <= std::fabs(b.re)) {
        const double r = b.im / b.re;
        const double t = 1.0 / (b.re + r * b.im);
        return {(a.re + r * a.im) * t, (a.im - r * a.re) * t};
    }
    const double r = b.re / b.im;
    const double t = 1.0 / (b.im + r * b.re);
    return {(r * a.re + a.im) * t, (r * a.im - a.re) * t};
}

tabulComplex realMulComplex(double x, const tabulComplex& z) {
    return {z.re * x, z.im * x};
}

tabulComplex realDivComplex(double x, const tabulComplex& z) {
    if (std::fabs(z.im) <= std::fabs(z.re)) {
        const double r = z.im / z.re;
        const double t = 1.0 / (z.re + r * z.im);
        return {x * t, -(t * r * x)};
    }
    const double r = z.re / z.im;
    const double t = 1.0 / (z.im + r * z.re);
    return {t * r * x, -(t * x)};
}

tabulComplex complexExp(const tabulComplex& z) {
    const double e = std::exp(z.re);
    return {e * std::cos(z.im), e * std::sin(z.im)};
}

tabulComplex complexLog(const tabulComplex& z) {
    return {std::log(complexAbs(z)), complexArg(z.im, z.re)};
}

tabulComplex complexSin(const tabulComplex& z) {
    if (z.re == 0.0) return {0.0, std::sinh(z.im)};
    if (z.im == 0.0) return {std::sin(z.re), 0.0};
    return {std::cosh(z.im) * std::sin(z.re), std::sinh(z.im) * std::cos(z.re)};
}

}  // namespace Oru
