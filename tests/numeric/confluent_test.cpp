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

TEST(Mhyper, Failures) {
    // e^65 needs more than 200 terms; the expansion of M(2, 1, -50) needs
    // Gamma(b - a) = Gamma(-1).
    EXPECT_EQ(mhyperError(1.0, 1.0, 65.0), "overflow@-1");
    EXPECT_EQ(mhyperError(2.0, 1.0, -50.0), "singularity@-1");
    // Finite arguments never give an infinite or NaN value: e^(1e308), and
    // the polynomial 1 - 2x/b + x^2/(b(b+1)) whose terms are -inf and +inf.
    EXPECT_EQ(mhyperError(1.0, 0.5, 1e308), "overflow@-1");
    EXPECT_EQ(mhyperError(-2.0, 1e-308, 1.0), "overflow@-1");
    EXPECT_TRUE(std::isnan(mhyper(std::nan(""), 1.0, 1.0)));
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
