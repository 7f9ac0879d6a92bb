#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "numeric/hypergeometric/complex_power.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::string powerError(tabulComplex z, tabulComplex w) {
    try {
        complexPower(z, w);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), Vesk::Run::AppException::NoArgument);
        return e.Message();
    }
    return "no error";
}

void expectExactly(tabulComplex z, double re, double im) {
    EXPECT_EQ(z.re, re);
    EXPECT_EQ(z.im, im);
}

}  // namespace

TEST(ComplexPower, ZeroBaseAndZeroExponent) {
    expectExactly(complexPower({0.0, 0.0}, {0.0, 0.0}), 1.0, 0.0);
    EXPECT_EQ(powerError({0.0, 0.0}, {-2.0, 0.0}), "singularity");
    expectExactly(complexPower({0.0, 0.0}, {-2.0, 1.0}), 0.0, 0.0);
    expectExactly(complexPowerReal({0.0, 0.0}, 0.5), 0.0, 0.0);
}

TEST(ComplexPower, OverflowCheckCatchesOnlyLargePositiveParts) {
    EXPECT_EQ(powerError({1e200, 0.0}, {2.0, 0.0}), "overflow");  // pow on a real base
    EXPECT_EQ(powerError({1e200, 1.0}, {2.0, 0.0}), "overflow");  // squaring
    EXPECT_EQ(powerError({1e308, 1.0}, {1.0, 0.0}), "overflow");  // z itself
    EXPECT_EQ(powerError({1e200, 1.0}, {2.5, 0.0}), "overflow");  // exponential form
    // A negative real base to an integer power is not checked, and the
    // exponential form lets parts at minus infinity pass.
    EXPECT_EQ(complexPower({-1e200, 0.0}, {3.0, 0.0}).re, -kInf);
    expectExactly(complexPowerReal({-1e250, 0.0}, 1.5), -kInf, -kInf);
}

TEST(ComplexPower, IntegerExponents) {
    // Purely imaginary bases: y^n times a power of i read off n mod 4.
    expectExactly(complexPower({0.0, 2.0}, {3.0, 0.0}), 0.0, -8.0);
    expectExactly(complexPower({0.0, 2.0}, {-1.0, 0.0}), 0.0, -0.5);
    expectExactly(complexPower({0.0, 2.0}, {-2.0, 0.0}), -0.25, 0.0);
    expectExactly(complexPower({0.0, -1.0}, {-3.0, 0.0}), 0.0, -1.0);
    // Repeated squaring, and its reciprocal for negative exponents.
    expectExactly(complexPower({1.0, 1.0}, {10.0, 0.0}), 0.0, 32.0);
    expectExactly(complexPower({1.0, 1.0}, {-2.0, 0.0}), 0.0, -0.5);
    expectExactly(complexPower({-2.0, 0.0}, {3.0, 0.0}), -8.0, 0.0);
    expectExactly(complexPower({3.0, 4.0}, {1.0, 0.0}), 3.0, 4.0);
    // (-8)^(1/3) is the principal value 1 + sqrt(3) i.
    const tabulComplex root = complexPowerReal({-8.0, 0.0}, 1.0 / 3.0);
    EXPECT_NEAR(root.re, 1.0, 1e-15);
    EXPECT_NEAR(root.im, std::sqrt(3.0), 1e-15);
}

TEST(ComplexPower, ExponentsBeyondTheIntegerRange) {
    // 3e9 is an integer beyond 32 bits: the exponential form, no conversion.
    expectExactly(complexPower({0.5, 0.5}, {3e9, 0.0}), 0.0, 0.0);
    // n mod 4 of an infinite exponent is NaN: no table entry, no conversion.
    EXPECT_TRUE(std::isnan(complexPower({0.0, 1.0}, {kInf, 0.0}).re));
    expectExactly(complexPower({0.0, 1.0}, {1e300, 0.0}), 1.0, 0.0);  // a multiple of 4
    // (1/i)^(2^31) = 1: the magnitude of INT_MIN is formed without overflow.
    expectExactly(complexIntPower({0.0, 1.0}, INT_MIN), 1.0, 0.0);
}
