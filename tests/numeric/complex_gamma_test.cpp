#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/complex_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

tabulComplex gamma1(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulGamma1(r, {re, im});
    return r;
}

}  // namespace

TEST(ComplexGamma, IntegersAndPoles) {
    EXPECT_EQ(gamma1(5.0, 0.0).re, 24.0);
    EXPECT_EQ(gamma1(3.0 + 5e-11, 0.0).re, 2.0);  // within 1e-10 of 3
    for (const double x : {0.0, -0.0, -3.0, -2147483648.0}) {
        tabulComplex r{7.0, 8.0};
        try {
            tabulGamma1(r, {x, 0.0});
            ADD_FAILURE() << "no error for " << x;
        } catch (const Vesk::Run::AppException& e) {
            EXPECT_EQ(e.Message(), "function is undefined for 0 and negative integers");
            EXPECT_EQ(e.Argument(), 1u);
        }
        EXPECT_EQ(r.re, 7.0);
    }
    // Off the axis, or merely near 0: large values, no error.
    EXPECT_NEAR(gamma1(-3.0, 1e-9).im / 166666666.66666665590, 1.0, 1e-13);
    EXPECT_NEAR(gamma1(1e-300, 0.0).re / 1e300, 1.0, 1e-14);
}

TEST(ComplexGamma, RealArgumentsGiveExactlyRealResults) {
    const tabulComplex half = gamma1(0.5, 0.0);
    EXPECT_NEAR(half.re, 1.7724538509055160273, 1e-14);
    EXPECT_EQ(half.im, 0.0);
    // Overflow: the exponential alone would give inf * sin 0 = NaN.
    for (const double x : {200.5, 3e9}) {
        const tabulComplex big = gamma1(x, 0.0);
        EXPECT_EQ(big.re, std::numeric_limits<double>::infinity());
        EXPECT_EQ(big.im, 0.0);
    }
}

TEST(ComplexGamma, ConjugateSymmetryAndReflection) {
    const tabulComplex up = gamma1(1.0, 1.0);
    const tabulComplex down = gamma1(1.0, -1.0);
    EXPECT_EQ(down.re, up.re);
    EXPECT_EQ(down.im, -up.im);
    EXPECT_NEAR(up.re, 0.49801566811835604271, 1e-14);
    EXPECT_NEAR(up.im, -0.15494982830181068512, 1e-14);
    // Gamma(z) Gamma(1 - z) = pi / sin(pi z), 1 - z on the direct path.
    const std::complex<double> z{-0.5, 1.0};
    const tabulComplex g = gamma1(z.real(), z.imag());
    const tabulComplex h = gamma1(1.0 - z.real(), -z.imag());
    const std::complex<double> expected = kPi / std::sin(kPi * z);
    EXPECT_LT(std::abs(std::complex<double>(g.re, g.im) * std::complex<double>(h.re, h.im) - expected),
              1e-14 * std::abs(expected));
}

TEST(ComplexGamma, ReflectionFarFromTheRealAxis) {
    // Beyond |Im z| of about 226 the sine of pi z overflows; the reflection
    // then combines its factors as logarithms instead of dividing infinities.
    // References from 30-digit arithmetic; the exponent near -500 leaves
    // about 1e-13 relative accuracy.
    struct Case {
        double x, y, re, im;
    };
    const Case cases[] = {
        {0.4, 225.0, 3.5214615641851807312e-154, 3.1035158271213844273e-154},  // sine still finite
        {0.4, 227.0, 1.0900119023826117076e-155, -1.7085203576523403644e-155},
        {-3.3, 300.0, -1.409705277821344071e-214, -1.6043028121543927911e-214},
        {0.2, -250.0, 6.4046054713142272271e-172, 1.1966499034171745531e-171},
        {0.4, 400.0, -9.775492270948913811e-275, -1.8322974732246000685e-273},
    };
    for (const Case& c : cases) {
        const tabulComplex g = gamma1(c.x, c.y);
        const double size = std::hypot(c.re, c.im);
        EXPECT_LT(std::hypot(g.re - c.re, g.im - c.im), 1e-12 * size) << c.x << " + " << c.y << "i";
    }
    // Far out the value underflows to zero instead of becoming NaN.
    const tabulComplex tiny = gamma1(-999999.75, 230.0);
    EXPECT_EQ(tiny.re, 0.0);
    EXPECT_EQ(tiny.im, 0.0);
}
