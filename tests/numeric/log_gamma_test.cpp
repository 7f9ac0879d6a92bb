#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kPi = 3.141592653589793;

tabulComplex lnGamma(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulLnGamma(r, {re, im});
    return r;
}

// The imaginary part on both sides of a dispatch boundary, one ulp apart.
void expectContinuous(double x0, double y0, double x1, double y1) {
    const tabulComplex a = lnGamma(x0, y0);
    const tabulComplex b = lnGamma(x1, y1);
    EXPECT_NEAR(a.re, b.re, 1e-12) << x0 << " " << y0;
    EXPECT_NEAR(a.im, b.im, 1e-12) << x0 << " " << y0;
}

}  // namespace

TEST(LnGamma, LoadTimeConstant) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(halfLogTwoPi), 0x3FED67F1C864BEB4u);
}

TEST(LnGamma, RealAxis) {
    EXPECT_EQ(lnGamma(1.0, 0.0).re, 0.0);
    EXPECT_EQ(lnGamma(2.0, 0.0).re, 0.0);
    const tabulComplex half = lnGamma(0.5, 0.0);
    EXPECT_NEAR(half.re, 0.57236494292470008707, 1e-16);
    EXPECT_EQ(half.im, 0.0);
    // Left of 0 the cut takes the limit from above: -pi per unit interval.
    const tabulComplex minusHalf = lnGamma(-0.5, 0.0);
    EXPECT_NEAR(minusHalf.re, std::log(2.0 * std::sqrt(kPi)), 1e-15);
    EXPECT_EQ(minusHalf.im, -kPi);
    const tabulComplex minusTwoAndHalf = lnGamma(-2.5, 0.0);
    EXPECT_NEAR(minusTwoAndHalf.re, -0.056243716497674050673, 1e-15);
    EXPECT_EQ(minusTwoAndHalf.im, -3.0 * kPi);
}

TEST(LnGamma, PolesAndOverflow) {
    for (const double x : {0.0, -1.0, -3.0, -1e300}) {
        tabulComplex r{7.0, 8.0};
        try {
            tabulLnGamma(r, {x, 0.0});
            ADD_FAILURE() << "no error for " << x;
        } catch (const Vesk::Run::AppException& e) {
            EXPECT_EQ(e.Message(), "function is undefined for 0 and negative integers");
            EXPECT_EQ(e.Argument(), 1u);
        }
        EXPECT_EQ(r.re, 7.0);
    }
    EXPECT_NO_THROW(lnGamma(-3.0, 1e-12));
    try {
        lnGamma(11356.0, 0.0);
        ADD_FAILURE();
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Message(), "overflow");
        EXPECT_EQ(e.Argument(), 0xFFFFFFFFu);
    }
    const tabulComplex nan = lnGamma(std::nan(""), 1.0);
    EXPECT_TRUE(std::isnan(nan.re) && std::isnan(nan.im));
    EXPECT_TRUE(std::isnan(lnGamma(-2.0, std::nan("")).re));
}

TEST(LnGamma, BranchGrowsWithoutReduction) {
    const tabulComplex a = lnGamma(-7.2, 0.5);  // reflection
    EXPECT_NEAR(a.re, -8.6350716027313915589, 1e-13);
    EXPECT_NEAR(a.im, -23.210584507411258669, 1e-13);
    const tabulComplex b = lnGamma(-10.5, 3.0);
    EXPECT_NEAR(b.re, -23.474998266072128162, 1e-13);
    EXPECT_NEAR(b.im, -27.326484605726453940, 1e-13);
    const tabulComplex c = lnGamma(3.0, 4.0);  // up-shift with a wrapped product
    EXPECT_GT(c.im, kPi);
    EXPECT_LT(c.im, 2.0 * kPi);
    // Conjugate symmetry, exactly.
    for (const double x : {-7.2, -3.0, 0.5, 3.0}) {
        const tabulComplex up = lnGamma(x, 2.5);
        const tabulComplex down = lnGamma(x, -2.5);
        EXPECT_EQ(down.re, up.re);
        EXPECT_EQ(down.im, -up.im);
    }
    // Shift count 0: exactly the series.
    const tabulComplex s = stirlingSeriesLnGamma({15.5, 1.0});
    const tabulComplex d = lnGamma(15.5, 1.0);
    EXPECT_EQ(d.re, s.re);
    EXPECT_EQ(d.im, s.im);
}

TEST(LnGamma, ContinuousAcrossTheDispatchBoundaries) {
    // x = 0 between up-shift and reflection, and between up- and down-shift.
    expectContinuous(-1e-300, 1.0, 0.0, 1.0);
    expectContinuous(-1e-300, 8.0, 0.0, 8.0);
    // |y| = 5.92 between reflection and down-shift.
    expectContinuous(-3.0, 5.92, -3.0, std::nextafter(5.92, 10.0));
    expectContinuous(-12.5, -5.92, -12.5, std::nextafter(-5.92, -10.0));
    // |z| = 16 between the shifts and the bare series.
    const double y = std::sqrt(256.0 - 144.0);
    expectContinuous(12.0, std::nextafter(y, 0.0), 12.0, std::nextafter(y, 20.0));
    expectContinuous(-12.0, std::nextafter(y, 0.0), -12.0, std::nextafter(y, 20.0));
}

TEST(LnGamma, ExponentialMatchesGamma) {
    for (const tabulComplex& z : {tabulComplex{2.5, 3.5}, tabulComplex{-4.3, 1.5}, tabulComplex{-0.5, -7.0},
                                  tabulComplex{0.25, 12.0}}) {
        const tabulComplex l = lnGamma(z.re, z.im);
        const tabulComplex e = complexExp(l);
        tabulComplex g{0.0, 0.0};
        tabulGamma1(g, z);
        EXPECT_NEAR(e.re, g.re, 1e-12 * complexAbs(g)) << z.re << " " << z.im;
        EXPECT_NEAR(e.im, g.im, 1e-12 * complexAbs(g)) << z.re << " " << z.im;
    }
}
