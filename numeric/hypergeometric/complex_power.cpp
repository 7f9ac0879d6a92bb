#include "numeric/hypergeometric/complex_power.hpp"

#include <cmath>
#include <optional>

#include "numeric/core/constants.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kEpsilon = 0x1p-52;
constexpr double kRepeatedSquaringBound = 2147483647.0;
constexpr double kOverflowBound = 1e307;

tabulComplex checkedForOverflow(const tabulComplex& r) {
    if (r.re > kOverflowBound || r.im > kOverflowBound) Throw("overflow", kNoArgument);
    return r;
}

// (i y)^n for an integer n: y^n times a power of i, read off n modulo 4.
// fmod keeps the sign of n, so the remainder lies in -3..3; anything else
// (n infinite, so the remainder is NaN) is left to the exponential form:
// no value.
std::optional<tabulComplex> imaginaryBasePower(double y, double n) {
    const double m = std::floor(std::fmod(n, 4.0) + kEpsilon);
    if (!(m >= -3.0 && m <= 3.0)) return std::nullopt;
    const double g = std::pow(y, n);
    switch (static_cast<int>(m)) {
        case 0:
            return tabulComplex{g, 0.0};
        case 1:
        case -3:
            return tabulComplex{0.0, g};
        case 2:
        case -2:
            return tabulComplex{-g, 0.0};
        default:
            return tabulComplex{0.0, -g};  // 3 or -1
    }
}

// Principal value e^(w ln z).
tabulComplex exponentialFormPower(const tabulComplex& z, const tabulComplex& w) {
    const tabulComplex l = complexLog(z);
    const double u = l.re * w.re - l.im * w.im;
    const double v = l.re * w.im + l.im * w.re;
    const double modulus = std::exp(u);
    return {modulus * std::cos(v), modulus * std::sin(v)};
}

}  // namespace

tabulComplex complexPower(const tabulComplex& z, const tabulComplex& w) {
    if (w.re == 0.0 && w.im == 0.0) return {1.0, 0.0};
    if (z.re == 0.0 && z.im == 0.0) {
        if (w.re < 0.0 && w.im == 0.0) Throw("singularity", kNoArgument);
        return {0.0, 0.0};
    }
    if (w.im == 0.0 && z.im == 0.0 && z.re >= 0.0) {
        return checkedForOverflow({std::pow(z.re, w.re), 0.0});
    }
    if (w.re == 1.0 && w.im == 0.0) return checkedForOverflow(z);
    if (w.re == 2.0 && w.im == 0.0) {
        return checkedForOverflow({z.re * z.re - z.im * z.im, 2.0 * (z.im * z.re)});
    }
    const double n = std::floor(w.re + kEpsilon);
    if (w.im == 0.0 && w.re == n) {
        // Integer exponents: the results below are exact up to rounding and
        // are returned as they are.
        if (z.im == 0.0) return {std::pow(z.re, w.re), 0.0};  // negative real base
        if (z.re == 0.0) {
            if (const auto r = imaginaryBasePower(z.im, n)) return *r;
        } else if (std::fabs(w.re) < kRepeatedSquaringBound) {
            return complexIntPower(z, static_cast<int>(n));
        }
    }
    return checkedForOverflow(exponentialFormPower(z, w));
}

tabulComplex complexPowerReal(const tabulComplex& z, double v) {
    return complexPower(z, {v, 0.0});
}

tabulComplex complexIntPower(const tabulComplex& z, int n) {
    tabulComplex result{1.0, 0.0};
    if (n == 0) return result;
    tabulComplex base = z;
    // The magnitude is taken in unsigned arithmetic so that n = INT_MIN is
    // safe as well.
    unsigned k = static_cast<unsigned>(n);
    if (n < 0) {
        base = complexDiv({1.0, 0.0}, z);
        k = 0u - k;
    }
    for (;;) {
        if ((k & 1u) != 0) {
            result = {base.re * result.re - base.im * result.im, base.re * result.im + base.im * result.re};
        }
        k >>= 1;
        if (k == 0) break;
        base = {base.re * base.re - base.im * base.im, 2.0 * (base.im * base.re)};
    }
    return result;
}

}  // namespace Oru
