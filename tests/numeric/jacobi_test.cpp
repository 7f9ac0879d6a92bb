#include <gtest/gtest.h>

#include <cmath>

#include "../host/host_values.hpp"
#include "numeric/polynomials/jacobi.hpp"

using namespace Oru;
using testing_host::raises;

namespace {

double jac(double n, double alpha, double beta, double x) {
    tabulComplex r(-7.0, -7.0);
    tabulJac(r, {n, 0.0}, {alpha, 0.0}, {beta, 0.0}, {x, 0.0});
    return r.re;
}

// The error tabulJac raises for these arguments, as an assertion result.
testing::AssertionResult fails(tabulComplex n, tabulComplex a, tabulComplex b, tabulComplex x,
                               const char* message, unsigned index) {
    tabulComplex r(0.0, 0.0);
    return raises([&] { tabulJac(r, n, a, b, x); }, message, index);
}

}  // namespace

TEST(Jacobi, Values) {
    EXPECT_EQ(jac(1, 1, 2, 0.5), 0.75);
    EXPECT_EQ(jac(2, 1, 1, 1), 3.0);
    EXPECT_DOUBLE_EQ(jac(6, 2, 0.5, 1), 28.0);  // C(n + alpha, n) at x = 1
    // P_5^(0.5,-0.25)(0.3), from high-precision arithmetic.
    EXPECT_NEAR(jac(5, 0.5, -0.25, 0.3), 0.3206758001327514813017608, 1e-15);
}

TEST(Jacobi, ChecksInArgumentOrder) {
    // The degree has its own test, only the 1e-10 tolerance: values near 0
    // and 1 are accepted.
    EXPECT_EQ(jac(1e-12, 1, 2, 0.5), 1.0);
    EXPECT_EQ(jac(0.99999999999, 1, 2, 0.5), 0.75);
    const tabulComplex zero(0, 0), x(0.5, 1);
    EXPECT_TRUE(fails({2.5, 1}, zero, zero, x, "must be real", 1));
    EXPECT_TRUE(fails({NAN, 0}, zero, zero, x, "must be integer", 1));
    EXPECT_TRUE(fails({-1e-12, 0}, zero, zero, x, "must be non-negative integer", 1));
    EXPECT_TRUE(fails({-INFINITY, 0}, zero, zero, x, "must be non-negative integer", 1));
    EXPECT_TRUE(fails({3e9, 0}, zero, zero, x, "integer too large", 1));
    EXPECT_TRUE(fails({INFINITY, 0}, zero, zero, x, "integer too large", 1));
    // Then each parameter, its imaginary part before its bound, then the point.
    const tabulComplex n(2, 0), complex(0, 1);
    EXPECT_TRUE(fails(n, {-1, 0}, complex, complex, "must be >\t-1", 2));
    EXPECT_TRUE(fails(n, {-2, 1}, zero, zero, "must be real", 2));
    EXPECT_TRUE(fails(n, zero, {-1.5, 0}, complex, "must be >\t-1", 3));
    EXPECT_TRUE(fails(n, zero, zero, complex, "must be real", 4));
    EXPECT_TRUE(std::isfinite(jac(5, -0.999, -0.999, 0.2)));  // the bound -1 is strict
}
