#include <gtest/gtest.h>

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

tabulComplex lnGamma(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulLnGamma(r, {re, im});
    return r;
}

}  // namespace

TEST(LnGamma, RealAxisAndPoles) {
    EXPECT_EQ(lnGamma(1.0, 0.0).re, 0.0);
    EXPECT_EQ(lnGamma(2.0, 0.0).re, 0.0);
    // Left of 0 the cut takes the limit from above: -pi per unit interval.
    const tabulComplex minusHalf = lnGamma(-0.5, 0.0);
    EXPECT_NEAR(minusHalf.re, std::log(2.0 * std::sqrt(kPi)), 1e-15);
    EXPECT_EQ(minusHalf.im, -kPi);
    EXPECT_EQ(lnGamma(-2.5, 0.0).im, -3.0 * kPi);
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
    EXPECT_TRUE(std::isnan(lnGamma(std::nan(""), 1.0).im));
}

TEST(LnGamma, BranchGrowsWithoutReduction) {
    const tabulComplex a = lnGamma(-7.2, 0.5);  // reflection
    EXPECT_NEAR(a.re, -8.6350716027313915589, 1e-13);
    EXPECT_NEAR(a.im, -23.210584507411258669, 1e-13);
    EXPECT_NEAR(lnGamma(-10.5, 3.0).im, -27.326484605726453940, 1e-13);
    const tabulComplex c = lnGamma(3.0, 4.0);  // up-shift, the product wraps once
    EXPECT_GT(c.im, kPi);
    EXPECT_LT(c.im, 2.0 * kPi);
    EXPECT_EQ(lnGamma(-7.2, -0.5).im, -a.im);
    // Shift count 0: exactly the series.
    EXPECT_EQ(lnGamma(15.5, 1.0).im, stirlingSeriesLnGamma({15.5, 1.0}).im);
}

TEST(LnGamma, ContinuousAcrossTheDispatchBoundaries) {
    const double y16 = std::sqrt(256.0 - 144.0);
    const double pairs[][4] = {
        {-1e-300, 1.0, 0.0, 1.0},  // x = 0: reflection / up-shift
        {-1e-300, 8.0, 0.0, 8.0},  // x = 0: down-shift / up-shift
        {-3.0, 5.92, -3.0, std::nextafter(5.92, 10.0)},
        {12.0, std::nextafter(y16, 0.0), 12.0, std::nextafter(y16, 20.0)},  // |z| = 16
        {-12.0, std::nextafter(y16, 0.0), -12.0, y16},
    };
    for (const auto& p : pairs) {
        const tabulComplex a = lnGamma(p[0], p[1]);
        const tabulComplex b = lnGamma(p[2], p[3]);
        EXPECT_NEAR(a.re, b.re, 1e-12) << p[0] << " " << p[1];
        EXPECT_NEAR(a.im, b.im, 1e-12) << p[0] << " " << p[1];
    }
}
