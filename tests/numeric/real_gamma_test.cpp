#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/gamma/real_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

double logGamma(double x) {
    double r = -1.0;
    realLogGamma(x, r);
    return r;
}

// The message raised for x (index -1 checked), or "no error".
template <typename F>
std::string errorOf(F f, double x) {
    try {
        f(x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), 0xFFFFFFFFu);
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(RealLogGamma, ValuesOnEachBranch) {
    EXPECT_EQ(logGamma(1.0), 0.0);
    EXPECT_EQ(logGamma(2.0), 0.0);
    EXPECT_EQ(logGamma(3.0), std::log(2.0));
    EXPECT_NEAR(logGamma(-2.5), -0.056243716497674050673, 1e-16);  // sign dropped
    EXPECT_NEAR(logGamma(999.5), 5901.7669206947370339, 1e-12);    // table A
    EXPECT_NEAR(logGamma(1000.0), 5905.2204232091812118, 1e-12);   // short series
    const auto lg = [](double x) { return logGamma(x); };
    for (const double x : {-3.0, 0.0, -34.0, -40.0, 11356.0, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(errorOf(lg, x), "overflow") << x;
    }
}

TEST(RealGamma, ValuesOnEachBranch) {
    EXPECT_EQ(realGamma(5.0), 24.0);
    EXPECT_EQ(realGamma(0.5), 1.7724538509055160273);
    // Extended steps keep 1 + 2^-52 apart from 2: the rounded-to-nearest value.
    EXPECT_EQ(realGamma(1.0000000000000002), 0.99999999999999989);
    double r = 0.0;
    realGamma(-2.5, r);
    EXPECT_EQ(r, realGamma(-2.5));
    // Stirling, the two-half power, reflection beyond 33 and its sign.
    EXPECT_NEAR(realGamma(34.0) / 8.6833176188118864955e+36, 1.0, 1e-15);
    EXPECT_NEAR(realGamma(143.5) / 3.2203704817308084463e+246, 1.0, 1e-15);
    EXPECT_NEAR(realGamma(-34.5) / -1.8051040703002370405e-39, 1.0, 1e-15);
    // Beyond the double range: infinity, also where e^x itself overflows.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(realGamma(172.0), inf);
    EXPECT_EQ(realGamma(1000.0), inf);
    EXPECT_EQ(realGamma(-1000.5), 0.0);
}

TEST(RealGamma, Errors) {
    const auto g = [](double x) { return realGamma(x); };
    EXPECT_EQ(errorOf(g, 0.0), "singularity");
    EXPECT_EQ(errorOf(g, -33.0), "singularity");
    EXPECT_EQ(errorOf(g, -34.0), "overflow");
}
