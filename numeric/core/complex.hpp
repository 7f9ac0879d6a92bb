#pragma once

// The native complex value every kernel takes and returns, and the complex
// arithmetic the gamma, log-gamma and hypergeometric kernels share. The
// special points are deliberate: fixed phases on the axes, a scaled modulus,
// Smith's quotient with 0/0 = 0, and exact results on the axes in the sine.

#include <cmath>

namespace Oru {

struct tabulComplex {
    double re;
    double im;

    constexpr tabulComplex(double r, double i) : re(r), im(i) {}
    constexpr tabulComplex(const tabulComplex&) = default;
    constexpr tabulComplex& operator=(const tabulComplex& other) {
        re = other.re;
        im = other.im;
        return *this;
    }

    // A value counts as real when its imaginary part equals 0.0 exactly:
    // -0.0 is real, a NaN imaginary part is not.
    constexpr bool isReal() const { return im == 0.0; }
};

// a / b by Smith's method, each part divided by the scaled denominator (not
// multiplied by its reciprocal as in complexDiv below). Inline, so that the
// command-line host divides exactly as the kernels do.
inline tabulComplex complexQuotient(const tabulComplex& a, const tabulComplex& b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double ratio = b.im / b.re;
        const double denominator = b.re + b.im * ratio;
        return {(a.re + a.im * ratio) / denominator, (a.im - a.re * ratio) / denominator};
    }
    const double ratio = b.re / b.im;
    const double denominator = b.re * ratio + b.im;
    return {(a.re * ratio + a.im) / denominator, (a.im * ratio - a.re) / denominator};
}

// Phase of x + iy; note the order: imaginary part first. -pi/2 for 0 + 0i,
// +pi for every negative real (also with im = -0.0).
double complexArg(double y, double x);
// |z|, with the larger part factored out so the squares cannot overflow.
double complexAbs(const tabulComplex& z);
// Inline: the Stirling series multiplies in a loop, where a call per product
// costs a tenth of the complex Gamma function.
inline tabulComplex complexMul(const tabulComplex& a, const tabulComplex& b) {
    return {a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im};
}
// Smith's method; 0/0 gives 0, a non-zero value over zero gives NaN parts.
tabulComplex complexDiv(const tabulComplex& a, const tabulComplex& b);
tabulComplex realMulComplex(double x, const tabulComplex& z);
// x / z by Smith's method; z = 0 gives NaN parts.
tabulComplex realDivComplex(double x, const tabulComplex& z);
tabulComplex complexExp(const tabulComplex& z);
// Principal logarithm: ln|z| + i complexArg.
tabulComplex complexLog(const tabulComplex& z);
tabulComplex complexSin(const tabulComplex& z);

}  // namespace Oru
