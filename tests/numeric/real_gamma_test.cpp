#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/gamma/real_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kSqrtPi = 1.7724538509055160273;

double logGamma(double x) {
    double r = -1.0;
    realLogGamma(x, r);
    return r;
}

// The message of the error realLogGamma raises for x; also checks that it
// names no argument and leaves 0.0 in the result.
std::string logGammaError(double x) {
    double r = -1.0;
    try {
        realLogGamma(x, r);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), 0xFFFFFFFFu);
        EXPECT_EQ(r, 0.0);
        return e.Message();
    }
    return "no error";
}

std::string gammaError(double x) {
    try {
        realGamma(x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), 0xFFFFFFFFu);
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(RealLogGamma, ExactPointsAndBranches) {
    EXPECT_EQ(logGamma(1.0), 0.0);
    EXPECT_EQ(logGamma(2.0), 0.0);
    EXPECT_EQ(logGamma(3.0), std::log(2.0));
    // The sign of Gamma(-2.5) < 0 is dropped: ln(8 sqrt(pi) / 15).
    EXPECT_NEAR(logGamma(-2.5), -0.056243716497674050673, 1e-16);
    // Reflection below -34, the table A below 1000 and the short series above.
    EXPECT_NEAR(logGamma(-50.5), -149.29649894115254119, 3e-14);
    EXPECT_NEAR(logGamma(999.5), 5901.7669206947370339, 1e-12);
    EXPECT_NEAR(logGamma(1000.0), 5905.2204232091812118, 1e-12);
    EXPECT_NEAR(logGamma(0.5), 0.57236494292470008707, 1e-16);
    EXPECT_TRUE(std::isnan(logGamma(std::nan(""))));
}

TEST(RealLogGamma, OverflowErrors) {
    EXPECT_EQ(logGammaError(-3.0), "overflow");
    EXPECT_EQ(logGammaError(0.0), "overflow");
    EXPECT_EQ(logGammaError(-34.0), "overflow");  // not below -34: reaches u == 0
    EXPECT_EQ(logGammaError(-40.0), "overflow");  // the integer test of the reflection
    EXPECT_EQ(logGammaError(11356.0), "overflow");
    EXPECT_EQ(logGammaError(std::numeric_limits<double>::infinity()), "overflow");
    EXPECT_EQ(logGammaError(-std::numeric_limits<double>::infinity()), "overflow");
    EXPECT_EQ(logGammaError(11355.0), "no error");
}

TEST(RealGamma, BothFormsAgreeOnExactAndTabledValues) {
    EXPECT_EQ(realGamma(5.0), 24.0);
    EXPECT_EQ(realGamma(2.0), 1.0);
    EXPECT_EQ(realGamma(0.5), kSqrtPi);
    double r = 0.0;
    realGamma(5.0, r);
    EXPECT_EQ(r, 24.0);
    realGamma(-2.5, r);
    EXPECT_EQ(r, realGamma(-2.5));
    EXPECT_NEAR(realGamma(-2.5), -0.94530872048294188123, 2e-16);
    // Pole term of the small-argument step.
    EXPECT_NEAR(realGamma(1e-10), 9999999999.4227839709, 1e-5);
    // 1 + 2^-52 is kept apart from 2 after the upward step.
    EXPECT_EQ(realGamma(1.0000000000000002), 0.99999999999999989);
}

TEST(RealGamma, StirlingAndReflectionBeyond33) {
    EXPECT_NEAR(realGamma(34.0) / 8.6833176188118864955e+36, 1.0, 1e-15);
    EXPECT_NEAR(realGamma(143.5) / 3.2203704817308084463e+246, 1.0, 1e-15);  // two-half power
    EXPECT_NEAR(realGamma(171.6) / 1.585896909667256509e+308, 1.0, 1e-15);
    EXPECT_GT(realGamma(-33.5), 0.0);
    EXPECT_NEAR(realGamma(-33.5) / 6.2276090425358177899e-38, 1.0, 1e-15);
    EXPECT_LT(realGamma(-34.5), 0.0);  // floor 34 is even
    EXPECT_NEAR(realGamma(-34.5) / -1.8051040703002370405e-39, 1.0, 1e-15);
    // Beyond the double range: infinity, also where e^x itself overflows.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(realGamma(172.0), inf);
    EXPECT_EQ(realGamma(1000.0), inf);
    EXPECT_EQ(realGamma(inf), inf);
    EXPECT_EQ(realGamma(-1000.5), 0.0);
    EXPECT_EQ(stirlingGamma(1e300), inf);
}

TEST(RealGamma, SingularityAndOverflowErrors) {
    EXPECT_EQ(gammaError(0.0), "singularity");
    EXPECT_EQ(gammaError(-1.0), "singularity");
    EXPECT_EQ(gammaError(-33.0), "singularity");
    EXPECT_EQ(gammaError(-34.0), "overflow");
    EXPECT_EQ(gammaError(-1e300), "overflow");
    double r = 0.0;
    EXPECT_THROW(realGamma(-34.0, r), Vesk::Run::AppException);
    EXPECT_TRUE(std::isnan(realGamma(std::nan(""))));
}
