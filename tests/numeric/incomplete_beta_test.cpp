#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kernel_error.hpp"
#include "numeric/hypergeometric/incomplete_beta.hpp"

using namespace Oru;

namespace {

double ibeta(double x, double a, double b) {
    tabulComplex r{0.0, 0.0};
    tabulIbeta(r, {x, 0.0}, {a, 0.0}, {b, 0.0});
    return r.re;
}

std::string ibetaError(tabulComplex x, tabulComplex a, tabulComplex b) {
    return kernelError(tabulIbeta, x, a, b);
}

std::string ibetaError(double x, double a, double b) {
    return ibetaError({x, 0.0}, {a, 0.0}, {b, 0.0});
}

}  // namespace

TEST(Ibeta, ChecksParametersBeforeThePoint) {
    EXPECT_EQ(ibetaError({0.5, 1.0}, {2.0, 1.0}, {3.0, 1.0}), "must be real@1");
    EXPECT_EQ(ibetaError({0.5, 0.0}, {2.0, 1.0}, {3.0, 1.0}), "must be real@2");
    EXPECT_EQ(ibetaError({0.5, 0.0}, {2.0, 0.0}, {3.0, 1.0}), "must be real@3");
    EXPECT_EQ(ibetaError(1.5, 2.0, 3.0), "must be between\t0\t1@1");
    EXPECT_EQ(ibetaError(1.5, 0.0, 3.0), "must be positive@2");
    EXPECT_EQ(ibetaError(1.5, 2.0, -1.0), "must be positive@3");
}

TEST(Ibeta, ClosedFormsAndPrintedValues) {
    EXPECT_EQ(ibeta(0.0, 2.5, 0.5), 0.0);
    EXPECT_EQ(ibeta(1.0, 2.5, 0.5), 1.0);
    EXPECT_EQ(ibeta(0.37, 1.0, 1.0), 0.37);
    EXPECT_NEAR(ibeta(0.2, 1.0, 4.0), 0.5904, 2e-16);
    EXPECT_NEAR(ibeta(0.4, 1.0, 1e-16), -1e-16 * std::log(0.6), 1e-32);
    // 0.7 goes through the symmetry, 0.6 to the first fraction with a' = 1.
    EXPECT_NEAR(ibeta(0.3, 2.0, 3.0), 0.3483, 1e-15);
    EXPECT_NEAR(ibeta(0.7, 2.0, 3.0), 0.9163, 1e-15);
    EXPECT_NEAR(ibeta(0.6, 3.0, 1.0), 0.216, 1e-16);
    // The second continued fraction: ((b + a - 2) x) / (a - 1) >= 1.
    EXPECT_NEAR(ibeta(0.08, 2.0, 20.0), 0.50939734417672897201, 2e-15);
}

TEST(Ibeta, FractionsAgree) {
    // The second fraction carries an extra factor 1 / (1 - x).
    EXPECT_NEAR(betaContinuedFraction2(2.0, 3.0, 0.3), betaContinuedFraction1(2.0, 3.0, 0.3) * 0.7, 1e-15);
}

TEST(Ibeta, UnderflowAndTinyPoints) {
    EXPECT_EQ(ibetaError(1e-10, 1000.0, 1.0), "underflow@-1");
    // The same size of logarithm after the symmetry leaves exactly 1.
    EXPECT_EQ(ibeta(1.0 - 1e-10, 2.0, 1000.0), 1.0);
    // 1 - x rounds to 1: no swap onto the end point, where the second
    // fraction would divide by zero; the value is 1 - 4e-17.
    EXPECT_EQ(ibeta(1e-17, 1e-18, 0.5), 1.0);
}
