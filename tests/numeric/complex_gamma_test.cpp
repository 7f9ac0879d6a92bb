#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "numeric/gamma/complex_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSqrtPi = 1.7724538509055160273;

tabulComplex gamma1(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulGamma1(r, {re, im});
    return r;
}

std::complex<double> asStd(const tabulComplex& z) { return {z.re, z.im}; }

}  // namespace

TEST(ComplexGamma, PositiveIntegersAreExactFactorials) {
    EXPECT_EQ(gamma1(5.0, 0.0).re, 24.0);
    EXPECT_EQ(gamma1(1.0, 0.0).re, 1.0);
    // Within 1e-10 of 3: taken as the integer 3.
    const tabulComplex g = gamma1(3.0 + 5e-11, 0.0);
    EXPECT_EQ(g.re, 2.0);
    EXPECT_EQ(g.im, 0.0);
    EXPECT_EQ(gamma1(2.99999999999, 0.0).re, 2.0);
}

TEST(ComplexGamma, NonPositiveIntegersAreRejectedWithoutTouchingTheResult) {
    for (const double x : {0.0, -0.0, -3.0, -3.0 + 5e-11, -2147483648.0}) {
        tabulComplex r{7.0, 8.0};
        try {
            tabulGamma1(r, {x, 0.0});
            ADD_FAILURE() << "no error for " << x;
        } catch (const Vesk::Run::AppException& e) {
            EXPECT_EQ(e.Message(), "function is undefined for 0 and negative integers");
            EXPECT_EQ(e.Argument(), 1u);
        }
        EXPECT_EQ(r.re, 7.0);
        EXPECT_EQ(r.im, 8.0);
    }
    // Off the real axis, or merely near 0, there is no error.
    const tabulComplex nearPole = gamma1(-3.0, 1e-9);
    EXPECT_NEAR(nearPole.im / 166666666.66666665590, 1.0, 1e-13);
    EXPECT_NEAR(gamma1(1e-300, 0.0).re / 1e300, 1.0, 1e-14);
    EXPECT_NEAR(gamma1(1e-11, 0.0).re / 99999999999.42278, 1.0, 1e-14);
}

TEST(ComplexGamma, RealArgumentsGiveExactlyRealResults) {
    const tabulComplex half = gamma1(0.5, 0.0);  // direct path
    EXPECT_NEAR(half.re, kSqrtPi, 1e-14);
    EXPECT_EQ(half.im, 0.0);
    const tabulComplex reflected = gamma1(-2.5, 0.0);
    EXPECT_NEAR(reflected.re, -0.94530872048294188123, 1e-14);
    EXPECT_EQ(reflected.im, 0.0);
    // Overflow: the exponential would give inf * sin 0 = NaN as imaginary part.
    const double inf = std::numeric_limits<double>::infinity();
    for (const double x : {200.5, 3e9}) {
        const tabulComplex big = gamma1(x, 0.0);
        EXPECT_EQ(big.re, inf) << x;
        EXPECT_EQ(big.im, 0.0) << x;
    }
    EXPECT_EQ(gamma1(-150.5, 0.0).im, 0.0);
}

TEST(ComplexGamma, ConjugateSymmetryAndReflection) {
    const tabulComplex up = gamma1(1.0, 1.0);
    const tabulComplex down = gamma1(1.0, -1.0);
    EXPECT_EQ(down.re, up.re);
    EXPECT_EQ(down.im, -up.im);
    EXPECT_NEAR(up.re, 0.49801566811835604271, 1e-14);
    EXPECT_NEAR(up.im, -0.15494982830181068512, 1e-14);
    // Gamma(z) Gamma(1 - z) = pi / sin(pi z), 1 - z taking the direct path.
    const std::complex<double> z{-0.5, 1.0};
    const std::complex<double> product = asStd(gamma1(z.real(), z.imag())) * asStd(gamma1(1.0 - z.real(), -z.imag()));
    const std::complex<double> expected = kPi / std::sin(kPi * z);
    EXPECT_LT(std::abs(product - expected) / std::abs(expected), 1e-14);
}

TEST(ComplexGamma, WideModulus) {
    EXPECT_EQ(complexAbsWide(3.0, 4.0), 5.0);
    EXPECT_EQ(complexAbsWide(-7.0, 0.0), 7.0);
    EXPECT_EQ(complexAbsWide(0.0, -2.0), 2.0);
    // One part more than e^20 larger: the larger alone.
    EXPECT_EQ(complexAbsWide(1e10, 1.0), 1e10);
    EXPECT_EQ(complexAbsWide(1.0, -1e10), 1e10);
    // Squares out of range: y / sin(arg).
    EXPECT_NEAR(complexAbsWide(1e200, 1e200) / 1.4142135623730951e200, 1.0, 1e-15);
    EXPECT_NEAR(complexAbsWide(-3e-200, 4e-200) / 5e-200, 1.0, 1e-15);
    EXPECT_EQ(hypotFlushed(1e-160, 1e-160), 0.0);
    EXPECT_EQ(hypotFlushed(3.0, 1e-160), 3.0);
    double re = 0.0;
    double im = 0.0;
    complexLogWide(-1.0, 0.0, re, im);
    EXPECT_EQ(re, 0.0);
    EXPECT_EQ(im, kPi);
}
