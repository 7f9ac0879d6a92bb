#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/core/complex.hpp"
#include "numeric/core/constants.hpp"
#include "numeric/core/integer.hpp"
#include "oru/constants.hpp"
#include "oru/utility.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {
std::uint64_t bits(double x) {
    return std::bit_cast<std::uint64_t>(x);
}
}  // namespace

TEST(CheckInteger, ToleranceAndFloorRule) {
    EXPECT_EQ(checkInteger(3.0), IsInteger);
    EXPECT_EQ(checkInteger(2.99999999999), IsInteger);
    EXPECT_EQ(checkInteger(3.00000000001), IsInteger);
    EXPECT_EQ(checkInteger(3.0000000002), NotInteger);
    EXPECT_EQ(checkInteger(2.95), NotInteger);
    EXPECT_EQ(checkInteger(2.05), NotInteger);
    EXPECT_EQ(checkInteger(-1.0), IsInteger);
    EXPECT_EQ(acceptedInteger(2.99999999999), 3);
    EXPECT_EQ(acceptedInteger(-2.99999999999), -3);
}

TEST(CheckInteger, ValuesBetweenMinusOneAndOne) {
    EXPECT_EQ(checkInteger(0.0), IsInteger);
    EXPECT_EQ(checkInteger(-0.0), IsInteger);
    EXPECT_EQ(checkInteger(1e-12), NotInteger);
    EXPECT_EQ(checkInteger(-1e-12), NotInteger);
    EXPECT_EQ(checkInteger(0.99999999999), NotInteger);
    EXPECT_EQ(checkInteger(1.00000000001), IsInteger);
}

TEST(CheckInteger, RangeAndNaN) {
    EXPECT_EQ(checkInteger(2147483647.0), IsInteger);
    EXPECT_EQ(checkInteger(2147483648.0), AboveInt32);
    EXPECT_EQ(checkInteger(-2147483648.0), IsInteger);
    EXPECT_EQ(checkInteger(-2147483649.0), BelowInt32);
    EXPECT_EQ(checkInteger(1e300), AboveInt32);
    EXPECT_EQ(checkInteger(std::numeric_limits<double>::infinity()), AboveInt32);
    EXPECT_EQ(checkInteger(-std::numeric_limits<double>::infinity()), BelowInt32);
    EXPECT_EQ(checkInteger(std::nan("")), NotInteger);
    EXPECT_EQ(acceptedInteger(2147483647.0), 2147483647);
    EXPECT_EQ(acceptedInteger(-2147483648.0), -2147483647 - 1);
}

TEST(Constants, StoredBitPatterns) {
    EXPECT_EQ(bits(INT_TOL), 0x3DDB7CDFD9D7BDBBu);
    EXPECT_EQ(bits(MAX_REAL), 0x7FAC7B1F3CAC7433u);
    EXPECT_EQ(bits(PI), 0x400921FB54442D18u);
    EXPECT_EQ(bits(TABUL_RAND_MAX), 0x41DFFFFFFFC00000u);
    EXPECT_EQ(bits(TABUL_RAND_LIMIT), 0x41E0000000000000u);
}

TEST(TabulComplex, RealMeansImaginaryPartEqualsZero) {
    EXPECT_TRUE(tabulComplex(1.5, -0.0).isReal());
    EXPECT_FALSE(tabulComplex(1.5, std::nan("")).isReal());
    EXPECT_FALSE(tabulComplex(1.5, 1e-300).isReal());
}

TEST(ComplexPrimitives, PhaseOnTheAxes) {
    EXPECT_EQ(complexArg(0.0, 0.0), -kPi / 2);
    EXPECT_EQ(complexArg(1.0, 0.0), kPi / 2);
    EXPECT_EQ(complexArg(0.0, -2.0), kPi);
    EXPECT_EQ(complexArg(-0.0, -2.0), kPi);
    EXPECT_EQ(complexArg(0.0, 3.0), 0.0);
    EXPECT_EQ(complexArg(1.0, 1.0), kPi / 4);
}

TEST(ComplexPrimitives, ModulusIsScaled) {
    EXPECT_EQ(complexAbs({3.0, 4.0}), 5.0);
    EXPECT_DOUBLE_EQ(complexAbs({1e200, 1e200}), std::sqrt(2.0) * 1e200);
    EXPECT_EQ(complexAbs({-7.0, 0.0}), 7.0);
    EXPECT_EQ(complexAbs({0.0, -2.5}), 2.5);
}

TEST(ComplexPrimitives, QuotientBySmithsMethod) {
    const tabulComplex zero = complexDiv({0.0, 0.0}, {0.0, 0.0});
    EXPECT_EQ(zero.re, 0.0);
    EXPECT_EQ(zero.im, 0.0);
    const tabulComplex inf = complexDiv({1.0, 0.0}, {0.0, 0.0});
    EXPECT_TRUE(std::isnan(inf.re));
    EXPECT_TRUE(std::isnan(inf.im));
    const tabulComplex q = complexDiv({1.0, 2.0}, {3.0, 4.0});
    EXPECT_DOUBLE_EQ(q.re, 0.44);
    EXPECT_DOUBLE_EQ(q.im, 0.08);
    const tabulComplex r = realDivComplex(2.0, {0.0, 4.0});
    EXPECT_EQ(r.re, 0.0);
    EXPECT_EQ(r.im, -0.5);
}

TEST(ComplexPrimitives, LogarithmAndSineOnTheAxes) {
    const tabulComplex l1 = complexLog({-1.0, 0.0});
    EXPECT_EQ(l1.re, 0.0);
    EXPECT_EQ(l1.im, kPi);
    const tabulComplex l0 = complexLog({0.0, 0.0});
    EXPECT_EQ(l0.re, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(l0.im, -kPi / 2);
    const tabulComplex s1 = complexSin({0.0, 1.0});
    EXPECT_EQ(s1.re, 0.0);
    EXPECT_EQ(s1.im, std::sinh(1.0));
    const tabulComplex s2 = complexSin({kPi / 2, 0.0});
    EXPECT_EQ(s2.re, 1.0);
    EXPECT_EQ(s2.im, 0.0);
    const tabulComplex e = complexExp({0.0, kPi});
    EXPECT_EQ(e.re, -1.0);
}

TEST(Utility, FactorialTableAndRound) {
    EXPECT_EQ(Factorial(0), 1.0);
    EXPECT_EQ(Factorial(4), 24.0);
    EXPECT_EQ(Factorial(20), 2432902008176640000.0);
    EXPECT_TRUE(std::isfinite(Factorial(170)));
    EXPECT_EQ(Factorial(171), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(Factorial(-1)));
    EXPECT_EQ(Oru::round(3.0 - 1e-14), 3.0);
    EXPECT_EQ(Oru::round(-2.0 + 1e-14), -2.0);
}

TEST(Utility, ThrowCarriesMessageAndIndex) {
    try {
        Throw("must be between\t0\t1", 1);
        FAIL();
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Message(), "must be between\t0\t1");
        EXPECT_EQ(e.Argument(), 1u);
    }
    try {
        Throw("illegal context", Vesk::Run::AppException::NoArgument);
        FAIL();
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(e.Argument(), Vesk::Run::AppException::NoArgument);
    }
}
