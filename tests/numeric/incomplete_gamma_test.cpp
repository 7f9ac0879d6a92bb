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

double igamma(double a, double x) {
    tabulComplex r{0.0, 1.0};
    tabulIgamma(r, {a, 0.0}, {x, 0.0});
    EXPECT_EQ(r.im, 0.0);
    return r.re;
}

double gamma2(double a, double x) {
    tabulComplex r{0.0, 1.0};
    tabulGamma2(r, {a, 0.0}, {x, 0.0});
    EXPECT_EQ(r.im, 0.0);
    return r.re;
}

struct Raised {
    std::string message;
    unsigned argument;
};

template <typename Kernel>
Raised raised(Kernel kernel, tabulComplex a, tabulComplex x) {
    tabulComplex r{7.0, 8.0};
    try {
        kernel(r, a, x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(r.re, 7.0);
        return {e.Message(), e.Argument()};
    }
    return {"no error", 0};
}

}  // namespace

TEST(Igamma, OrderIsTruncated) {
    EXPECT_NEAR(igamma(2.9, 1.0), 1.0 - 2.0 / kE, 2e-16);
    EXPECT_EQ(igamma(0.5, 1.0), 0.0);
    EXPECT_EQ(igamma(-1.5, 1.0), 0.0);
    EXPECT_EQ(igamma(3.0, 0.0), 0.0);
    EXPECT_EQ(igamma(3.0, -2.0), 0.0);
    // Orders outside the 32-bit range: truncated as doubles; ln Gamma of them
    // is out of range.
    EXPECT_EQ(raised(tabulIgamma, {3e9, 0.0}, {2.0, 0.0}).message, "overflow");
    EXPECT_EQ(igamma(-1e300, 2.0), 0.0);
    EXPECT_TRUE(std::isnan(igamma(std::nan(""), 2.0)));
    EXPECT_TRUE(std::isnan(igamma(std::nan(""), -2.0)));
}

TEST(Igamma, NearOneAndBeyondTheRange) {
    // Q below the extended range: P is exactly 1, not an underflow.
    EXPECT_EQ(igamma(1.0, 20000.0), 1.0);
    EXPECT_EQ(igamma(1.0, 1000.0), 1.0);
    EXPECT_EQ(igamma(3.0, kInf), 1.0);
    EXPECT_TRUE(std::isnan(igamma(3.0, std::nan(""))));
    // x = 1 takes the series whatever a is, just above 1 the fraction.
    EXPECT_NEAR(igamma(1.0, 1.0), 1.0 - 1.0 / kE, 2e-16);
    EXPECT_NEAR(igamma(1.0, std::nextafter(1.0, 2.0)), 1.0 - 1.0 / kE, 4e-16);
    // P(a, x) + Q(a, x) = 1 across the hand-over at x = a.
    EXPECT_NEAR(igamma(5.0, 7.0), 0.82700839211792865437, 3e-16);
    EXPECT_NEAR(igamma(5.0, 7.0) + gamma2(5.0, 7.0) / 24.0, 1.0, 4e-16);
    EXPECT_NEAR(igamma(100.0, 100.0) + gamma2(100.0, 100.0) / Factorial(99), 1.0, 1e-13);
}

TEST(Igamma, ErrorsInCheckingOrder) {
    const Raised a = raised(tabulIgamma, {1.0, 1.0}, {1.0, 1.0});
    EXPECT_EQ(a.message, "must be real");
    EXPECT_EQ(a.argument, 1u);
    const Raised x = raised(tabulIgamma, {1.0, 0.0}, {1.0, std::nan("")});
    EXPECT_EQ(x.message, "must be real");
    EXPECT_EQ(x.argument, 2u);
    // The series region: x^a e^-x / Gamma(a) below the extended range.
    const Raised u = raised(tabulIgamma, {100.0, 0.0}, {1e-300, 0.0});
    EXPECT_EQ(u.message, "underflow");
    EXPECT_EQ(u.argument, 0xFFFFFFFFu);
}

TEST(UpperGamma, ExactValues) {
    // Gamma(1, x) = e^-x to full relative precision, far into the tail.
    for (const double x : {0.5, 1.0, 20.0, 40.0, 700.0}) {
        EXPECT_NEAR(gamma2(1.0, x) / std::exp(-x), 1.0, 4e-16) << x;
    }
    EXPECT_NEAR(gamma2(0.5, 1.0), 0.27880558528066197650, 1e-15);  // sqrt(pi) erfc(1)
    EXPECT_EQ(gamma2(5.0, 0.0), 24.0);
    EXPECT_NEAR(gamma2(3.0, 2.0), 10.0 / (kE * kE), 4e-16 * 10.0 / (kE * kE));
    EXPECT_EQ(gamma2(3.0, kInf), 0.0);
}

TEST(UpperGamma, OrdersWhoseGammaOverflows) {
    // Gamma(172) is beyond the double range, Gamma(172, 300) is not.
    EXPECT_NEAR(gamma2(172.0, 300.0) / 4.5880709617858822559e+293, 1.0, 1e-14);
    EXPECT_NEAR(gamma2(200.0, 2000.0) / 2.2987672564663628e-212, 1.0, 1e-13);
    EXPECT_EQ(gamma2(200.0, 100.0), kInf);
    EXPECT_EQ(gamma2(1e300, 2e300), kInf);
    EXPECT_EQ(gamma2(172.0, kInf), 0.0);
    EXPECT_EQ(gamma2(1.0, 800.0), 0.0);  // below the double range only
    EXPECT_EQ(raised(tabulGamma2, {500.0, 0.0}, {1e6, 0.0}).message, "underflow");
}

TEST(UpperGamma, ErrorsInCheckingOrder) {
    const auto expectRaised = [](tabulComplex a, tabulComplex x, const char* message, unsigned argument) {
        const Raised r = raised(tabulGamma2, a, x);
        EXPECT_EQ(r.message, message) << a.re << " " << x.re;
        EXPECT_EQ(r.argument, argument) << a.re << " " << x.re;
    };
    expectRaised({1.0, 1.0}, {-1.0, 1.0}, "must be real", 1);
    expectRaised({-1.0, 0.0}, {1.0, 1.0}, "must be non-negative", 1);
    expectRaised({1.0, 0.0}, {1.0, 1.0}, "must be real", 2);
    expectRaised({1.0, 0.0}, {-1.0, 0.0}, "must be non-negative", 2);
    expectRaised({0.0, 0.0}, {1.0, 0.0}, "singularity", 0xFFFFFFFFu);
    expectRaised({1.0, 0.0}, {1e6, 0.0}, "underflow", 0xFFFFFFFFu);
    expectRaised({20000.0, 0.0}, {1.0, 0.0}, "overflow", 0xFFFFFFFFu);
    // Not-a-number arguments end with NaN.
    EXPECT_TRUE(std::isnan(gamma2(std::nan(""), 1.0)));
    EXPECT_TRUE(std::isnan(gamma2(1.0, std::nan(""))));
}
