#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/gamma/incomplete_gamma.hpp"
#include "oru/utility.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kE = 2.718281828459045;
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

using Kernel = void (*)(tabulComplex&, const tabulComplex&, const tabulComplex&);

double call(Kernel kernel, double a, double x) {
    tabulComplex r{0.0, 1.0};
    kernel(r, {a, 0.0}, {x, 0.0});
    EXPECT_EQ(r.im, 0.0);
    return r.re;
}

double igamma(double a, double x) {
    return call(tabulIgamma, a, x);
}
double gamma2(double a, double x) {
    return call(tabulGamma2, a, x);
}

// "message index" of the error raised, or "no error".
std::string raised(Kernel kernel, tabulComplex a, tabulComplex x) {
    tabulComplex r{7.0, 8.0};
    try {
        kernel(r, a, x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(r.re, 7.0);
        return e.Message() + " " + std::to_string(static_cast<int>(e.Argument()));
    }
    return "no error";
}

}  // namespace

TEST(Igamma, TruncatedOrderAndLimits) {
    EXPECT_NEAR(igamma(2.9, 1.0), 1.0 - 2.0 / kE, 2e-16);
    EXPECT_EQ(igamma(0.5, 1.0), 0.0);
    EXPECT_EQ(igamma(-1.5, 1.0), 0.0);
    EXPECT_EQ(igamma(-1e300, 2.0), 0.0);  // truncated as a double
    EXPECT_TRUE(std::isnan(igamma(kNaN, -2.0)));
    EXPECT_TRUE(std::isnan(igamma(3.0, kNaN)));
    // Q below the extended range: P is exactly 1, not an underflow.
    EXPECT_EQ(igamma(1.0, 20000.0), 1.0);
    EXPECT_EQ(igamma(3.0, kInf), 1.0);
    // x = 1 takes the series, just above 1 the fraction.
    EXPECT_NEAR(igamma(1.0, 1.0), 1.0 - 1.0 / kE, 2e-16);
    EXPECT_NEAR(igamma(1.0, std::nextafter(1.0, 2.0)), 1.0 - 1.0 / kE, 4e-16);
    // P + Q = 1 on both sides of the hand-over.
    EXPECT_NEAR(igamma(5.0, 7.0) + gamma2(5.0, 7.0) / 24.0, 1.0, 4e-16);
    EXPECT_NEAR(igamma(100.0, 100.0) + gamma2(100.0, 100.0) / Factorial(99), 1.0, 1e-13);
}

TEST(UpperGamma, TailKeepsItsDigits) {
    for (const double x : {0.5, 20.0, 40.0, 700.0}) {
        EXPECT_NEAR(gamma2(1.0, x) / std::exp(-x), 1.0, 4e-16) << x;
    }
    EXPECT_NEAR(gamma2(0.5, 1.0), 0.27880558528066197650, 1e-15);  // sqrt(pi) erfc(1)
    EXPECT_EQ(gamma2(5.0, 0.0), 24.0);
    EXPECT_EQ(gamma2(3.0, kInf), 0.0);
    // Gamma(a) beyond the double range, Gamma(a, x) within it.
    EXPECT_NEAR(gamma2(172.0, 300.0) / 4.5880709617858822559e+293, 1.0, 1e-14);
    EXPECT_NEAR(gamma2(200.0, 2000.0) / 2.2987672564663627783e-212, 1.0, 1e-13);
    EXPECT_EQ(gamma2(1e300, 2e300), kInf);
    EXPECT_EQ(gamma2(172.0, kInf), 0.0);
    EXPECT_TRUE(std::isnan(gamma2(1.0, kNaN)));
}

TEST(IncompleteGamma, ErrorsInCheckingOrder) {
    EXPECT_EQ(raised(tabulIgamma, {1.0, 1.0}, {1.0, 1.0}), "must be real 1");
    EXPECT_EQ(raised(tabulIgamma, {1.0, 0.0}, {1.0, kNaN}), "must be real 2");
    EXPECT_EQ(raised(tabulIgamma, {100.0, 0.0}, {1e-300, 0.0}), "underflow -1");
    EXPECT_EQ(raised(tabulIgamma, {3e9, 0.0}, {2.0, 0.0}), "overflow -1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 1.0}, {-1.0, 1.0}), "must be real 1");
    EXPECT_EQ(raised(tabulGamma2, {-1.0, 0.0}, {1.0, 1.0}), "must be non-negative 1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {1.0, 1.0}), "must be real 2");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {-1.0, 0.0}), "must be non-negative 2");
    EXPECT_EQ(raised(tabulGamma2, {0.0, 0.0}, {1.0, 0.0}), "singularity -1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {1e6, 0.0}), "underflow -1");
    EXPECT_EQ(raised(tabulGamma2, {20000.0, 0.0}, {1.0, 0.0}), "overflow -1");
}
