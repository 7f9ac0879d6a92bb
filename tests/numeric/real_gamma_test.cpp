#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/gamma/real_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

// The message raised for x (index -1 checked), or "no error".
template <typename F>
std::string errorOf(F f, double x) {
    try {
        f(x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), Vesk::Run::AppException::NoArgument);
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(RealLogGamma, ValuesOnEachBranch) {
    EXPECT_EQ(realLogGamma(1.0), 0.0);
    EXPECT_EQ(realLogGamma(2.0), 0.0);
    EXPECT_EQ(realLogGamma(3.0), std::log(2.0));
    EXPECT_NEAR(realLogGamma(-2.5), -0.056243716497674050673, 1e-16);  // sign dropped
    EXPECT_NEAR(realLogGamma(999.5), 5901.7669206947370339, 1e-12);    // table A
    EXPECT_NEAR(realLogGamma(1000.0), 5905.2204232091812118, 1e-12);   // short series
    for (const double x : {-3.0, 0.0, -34.0, -40.0, 2.6e305, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(errorOf(realLogGamma, x), "overflow") << x;
    }
}

TEST(RealGamma, ValuesOnEachBranch) {
    EXPECT_EQ(realGamma(5.0), 24.0);
    EXPECT_EQ(realGamma(0.5), 1.7724538509055160273);
    // Extended steps keep 1 + 2^-52 apart from 2: the rounded-to-nearest value.
    EXPECT_EQ(realGamma(1.0000000000000002), 0.99999999999999989);
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
    EXPECT_EQ(errorOf(realGamma, 0.0), "singularity");
    EXPECT_EQ(errorOf(realGamma, -33.0), "singularity");
    EXPECT_EQ(errorOf(realGamma, -34.0), "overflow");
}
