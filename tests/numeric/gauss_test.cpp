#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/hypergeometric/gauss.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLargestBelowOne = 0.9999999999999999;

double fhyper(double a, double b, double c, double x) {
    tabulComplex r{0.0, 0.0};
    tabulFhyper(r, {a, 0.0}, {b, 0.0}, {c, 0.0}, {x, 0.0});
    return r.re;
}

// The message with the argument index appended; also checks that the
// kernel leaves res alone when it raises.
std::string fhyperError(tabulComplex a, tabulComplex b, tabulComplex c, tabulComplex x) {
    tabulComplex r{-7.0, -7.0};
    try {
        tabulFhyper(r, a, b, c, x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(r.re, -7.0);
        return e.Message() + "@" + std::to_string(static_cast<int>(e.Argument()));
    }
    return "no error";
}

std::string fhyperError(double a, double b, double c, double x) {
    return fhyperError({a, 0.0}, {b, 0.0}, {c, 0.0}, {x, 0.0});
}

void expectRelative(double value, double expected, double tolerance) {
    EXPECT_NEAR(value, expected, tolerance * std::fabs(expected)) << "expected " << expected;
}

}  // namespace

TEST(Fhyper, ArgumentChecksInOrder) {
    const tabulComplex real{0.5, 0.0};
    const tabulComplex complex{0.5, 1.0};
    const tabulComplex outside{1.5, 0.0};
    EXPECT_EQ(fhyperError(complex, real, real, outside), "must be real@1");
    EXPECT_EQ(fhyperError(real, {0.5, kNaN}, real, outside), "must be real@2");
    EXPECT_EQ(fhyperError(real, real, complex, outside), "must be real@3");
    EXPECT_EQ(fhyperError(real, real, real, complex), "must be real@4");
    EXPECT_EQ(fhyperError(0.5, 0.5, 0.5, -1.0), "domain error@4");
    EXPECT_EQ(fhyperError(0.5, 0.5, 0.5, 1.0), "domain error@4");
    // A NaN point passes the domain check and fails the disc test.
    EXPECT_EQ(fhyperError(1.0, 1.0, 2.0, kNaN), "overflow@-1");
}

TEST(Fhyper, OriginClosedFormsAndPolynomials) {
    // x = 0 is 1 before any parameter is looked at.
    EXPECT_EQ(fhyper(1.0, 2.0, 0.0, 0.0), 1.0);
    EXPECT_EQ(fhyper(kNaN, 2.0, -3.0, 1e-17), 1.0);
    // b = c and a = c reduce to powers of 1 - x.
    EXPECT_EQ(fhyper(2.0, 3.0, 3.0, 0.5), 4.0);
    expectRelative(fhyper(3.0, 1.5, 3.0, -0.5), std::pow(1.5, -1.5), 4e-16);
    // Gauss's summation at the largest double below 1.
    EXPECT_EQ(fhyper(1.0, 1.0, 3.0, kLargestBelowOne), 2.0);
    // c = -2: only a polynomial that ends before (c)_k reaches 0.
    expectRelative(fhyper(-1.0, 0.7, -2.0, 0.3), 1.0 + (-1.0 * 0.7 * 0.3) / -2.0, 4e-16);
    expectRelative(fhyper(-3.0, -1.0, -2.0, 0.3), 1.0 - 1.5 * 0.3, 4e-16);
    EXPECT_EQ(fhyperError(-3.0, 0.5, -2.0, 0.3), "domain error@-1");
    EXPECT_EQ(fhyperError(1.0, 0.5, -2.0 + 1e-14, 0.3), "domain error@-1");
    // a = -2: the quadratic, also near both ends (no transformation).
    const double b = 1.3;
    const double c = 2.2;
    for (double x : {-0.95, 0.3, 0.95, kLargestBelowOne}) {
        const double quadratic = 1.0 - 2.0 * b * x / c + b * (b + 1.0) * x * x / (c * (c + 1.0));
        expectRelative(fhyper(-2.0, b, c, x), quadratic, 1e-15);
    }
}

TEST(Fhyper, TransformationsAgreeWithTheFunction) {
    // Euler with c - a, then with c - b, a non-positive integer.
    expectRelative(fhyper(3.0, 0.5, 1.0, 0.5), 3.3587572106361007409, 1e-15);
    expectRelative(fhyper(0.5, 3.5, 1.5, -0.4), 0.69797092873497898584, 1e-15);
    // Pfaff below -0.5 for b <= 0 and b > 0.
    expectRelative(fhyper(1.0, -0.5, 2.0, -0.7), 1.1585988740656195746, 1e-15);
    expectRelative(fhyper(1.0, 0.5, 2.0, -0.7), 0.86811566011579927189, 1e-15);
    // Connection to 1 - x with c - a - b not an integer.
    expectRelative(fhyper(0.3, 0.7, 1.7, 0.9), 1.2135069615041652359, 2e-15);
    // The logarithmic form: c - a - b = 0 (-ln(1 - x) / x), 2, 3, -2, -1.
    expectRelative(fhyper(1.0, 1.0, 2.0, 0.9), 2.5584278811044953881, 2.2e-16);
    expectRelative(fhyper(0.5, 0.5, 3.0, 0.9), 1.1088348896114900935, 1e-15);
    expectRelative(fhyper(1.5, 2.5, 2.0, 0.9), 86.828466102493077188, 1e-15);
    expectRelative(fhyper(1.5, 2.5, 3.0, 0.9), 14.663397526525132981, 1e-15);
}

TEST(Fhyper, DivergenceAndOverflow) {
    // Next to x = 1 the series diverges for c - a - b <= 0, next to -1 for <= -1.
    EXPECT_EQ(fhyperError(1.0, 1.0, 2.0, kLargestBelowOne), "overflow@-1");
    EXPECT_EQ(fhyperError(1.5, 1.5, 2.0, -kLargestBelowOne), "overflow@-1");
    EXPECT_EQ(fhyperError(1.25, 1.25, 2.0, -kLargestBelowOne), "no error");
    // c - a - b = 300 or infinite: Gamma(300) leaves the double range, so
    // the logarithmic form has no finite value; it says so instead of running
    // its finite sum 299 times (or converting an infinite order) into NaN.
    EXPECT_EQ(fhyperError(0.5, 0.5, 301.0, 0.8), "overflow@-1");
    EXPECT_EQ(fhyperError(1e308, 1e308, 0.5, 0.8), "overflow@-1");
    // The connection formula's Gamma factors overflow: an error, not NaN.
    EXPECT_EQ(fhyperError(150.0, 150.0, 300.3, 0.8), "overflow@-1");
    // A NaN parameter: NaN from the series, "overflow" from the connection.
    EXPECT_TRUE(std::isnan(fhyper(kNaN, 1.0, 2.0, 0.5)));
    EXPECT_EQ(fhyperError(kNaN, 1.0, 2.0, 0.8), "overflow@-1");
}

TEST(GaussSeries, TerminationAndConvergenceLimit) {
    // A terminating series stops as soon as the numerator reaches 0.
    EXPECT_EQ(gaussSeries(-1.0, 4.0, 2.0, 0.5), 0.0);
    // 1000 terms cannot reach the sum at x = 0.999.
    EXPECT_THROW(gaussSeries(1.0, 1.0, 0.5, 0.999), Vesk::Run::AppException);
}
