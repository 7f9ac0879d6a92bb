#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kernel_error.hpp"
#include "numeric/hypergeometric/confluent.hpp"

using namespace Oru;

namespace {

double mhyper(double a, double b, double x) {
    tabulComplex r{0.0, 0.0};
    tabulMhyper(r, {a, 0.0}, {b, 0.0}, {x, 0.0});
    return r.re;
}

std::string mhyperError(tabulComplex a, tabulComplex b, tabulComplex x) {
    return kernelError(tabulMhyper, a, b, x);
}

std::string mhyperError(double a, double b, double x) {
    return mhyperError({a, 0.0}, {b, 0.0}, {x, 0.0});
}

}  // namespace

TEST(Mhyper, ArgumentChecksAndPowerSeries) {
    EXPECT_EQ(mhyperError({1.0, 2.0}, {1.0, 2.0}, {1.0, 2.0}), "must be real@1");
    EXPECT_EQ(mhyperError({1.0, 0.0}, {1.0, std::nan("")}, {1.0, 2.0}), "must be real@2");
    EXPECT_EQ(mhyperError({1.0, 0.0}, {1.0, 0.0}, {1.0, 2.0}), "must be real@3");
    EXPECT_EQ(mhyper(1.5, -2.5, 0.0), 1.0);
    EXPECT_EQ(mhyper(0.0, 3.0, 7.0), 1.0);
    EXPECT_NEAR(mhyper(-2.0, 3.0, 5.0), 1.0 - 2.0 * 5.0 / 3.0 + 25.0 / 12.0, 1e-15);
    EXPECT_NEAR(mhyper(1.0, 1.0, 1.0), std::exp(1.0), 4.5e-16);
    EXPECT_NEAR(mhyper(1.0, 1.0, 60.0), 1.1420073898156842837e26, 1.2e12);
    // At x = 0 no term is added: two units of roundoff.
    EXPECT_EQ(confluentPowerSeries(1.0, 2.0, 0.0).err, 2.0 * 0x1p-52);
    // Terms of e^3000 size: the series stops with a 100% error estimate.
    const SeriesValue stopped = confluentPowerSeries(1.0, 2.0, 3000.0);
    EXPECT_EQ(stopped.err, 1.0);
    EXPECT_TRUE(std::isfinite(stopped.sum));
}

TEST(Mhyper, AsymptoticExpansionTakesOverFromACancellingSeries) {
    EXPECT_GT(confluentPowerSeries(1.0, 2.0, -50.0).err, 1.0);
    EXPECT_LT(confluentAsymptotic(1.0, 2.0, -50.0).err, 1e-13);
    EXPECT_EQ(mhyper(1.0, 2.0, -50.0), (1.0 - std::exp(-50.0)) / 50.0);
}

TEST(Mhyper, ErrorsOnlyWhereTheValueIsNoDouble) {
    // e^710 and e^(1e308), and 1 + e / b for b = 1e-308, are beyond the
    // double range; b = -2 is a pole unless a is an integer in [-2, 0]; at
    // x = 0 the series is 1 whatever b.
    EXPECT_EQ(mhyperError(1.0, 1.0, 710.0), "overflow@-1");
    EXPECT_EQ(mhyperError(1.0, 0.5, 1e308), "overflow@-1");
    EXPECT_EQ(mhyperError(1.0, 1e-308, 1.0), "overflow@-1");
    EXPECT_EQ(mhyperError(1.0, -2.0, 1.0), "singularity@-1");
    EXPECT_EQ(mhyperError(-3.0, -2.0, 1.0), "singularity@-1");
    EXPECT_EQ(mhyper(1.0, -2.0, 0.0), 1.0);
    // 1 - 2x/b + x^2/(b(b+1)) with b = 1e-308: -1e308, although two of its
    // terms are beyond the double range; e^-800 rounds to 0.
    EXPECT_EQ(mhyper(-2.0, 1e-308, 1.0), -1e308);
    EXPECT_EQ(mhyper(1.0, 1.0, -800.0), 0.0);
    EXPECT_TRUE(std::isnan(mhyper(std::nan(""), 1.0, 1.0)));
}

// Where the double-precision series and expansion are not accurate, one
// point or two of each method of the extended evaluation, against mpmath at
// 30 digits: Kummer's transformation with a positive series; a polynomial;
// the recurrence in a (alternating series beyond double-doubles); the series
// in double-doubles; the recurrence in b; the polynomial of b a negative
// integer; a series of 900 terms.
TEST(Mhyper, ExtendedPrecisionRegions) {
    struct Point {
        double a, b, x, value;
    };
    const Point points[] = {
        {1.0, 2.0, -100.0, 0.01},
        {0.5, 1.0, -1500.0, 0.014569742116743979078},
        {2.0, 1.0, -50.0, -9.4508742550231971368e-21},
        {5.0, 0.5, -20.0, -8.421183522420751843e-05},
        {800.5, 1.0, -5.0, 0.0058254274115048624958},
        {12.3, 2.9244702192601153, -43.526996210770854, 2.8904632478119838879e-13},
        {-29.7, 0.5, 80.0, -238509457250873468.5},
        {-22.155952544554303, 17.418856729622078, 117.50949063174858, 879365766.94078298452},
        {14.414801231488724, -12.2, -29.0, 319.45065347791098812},
        {23.84759605628851, -6.6424659923233484, -24.5, -2.2920030959827807809},
        {29.565689977003515, -23.740126291775653, -97.0, -0.11283340856071993168},
        {-0.5, -25.000000001, 30.0, -1.2086565039078935966e+32},
        {-20.0, -25.0, -30.0, 105560.69952529614897},
        {1.0, 1.0, 700.0, 1.0142320547350045095e+304},
    };
    for (const Point& p : points) {
        EXPECT_NEAR(mhyper(p.a, p.b, p.x) / p.value, 1.0, 8 * 0x1p-52) << p.a << " " << p.b << " " << p.x;
    }
}

TEST(Hypergeometric2F0, ConvergedAndDivergentExits) {
    EXPECT_EQ(hypergeometric2F0(-2.0, 1.0, 0.5, 1).sum, 0.5);  // 1 - 1 + 0.5
    EXPECT_NEAR(hypergeometric2F0(1.0, 1.0, -0.01, 1).sum, 0.99019422867330157, 1e-15);
    // At x = -0.1 the terms grow from n = 10 on; the truncated sum is within
    // its error estimate of the Borel sum 10 e^10 E1(10).
    const SeriesValue divergent = hypergeometric2F0(1.0, 1.0, -0.1, 1);
    EXPECT_LT(std::fabs(divergent.sum - 0.91563333939788081477), divergent.err);
    EXPECT_LT(divergent.err, 1e-3);
}
