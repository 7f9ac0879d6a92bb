#include <gtest/gtest.h>

#include <initializer_list>

#include "numeric/polynomials/legendre.hpp"

using namespace Oru;

TEST(Legendre, ExactValuesAndParity) {
    const auto leg = legendreRecurrence;
    EXPECT_EQ(leg(2, 0), -0.5);
    EXPECT_EQ(leg(3, 0.5), -7.0 / 16);
    EXPECT_EQ(leg(3, -0.5), 7.0 / 16);
    EXPECT_EQ(leg(3, 2), 17.0);
    for (int n : {50, 51}) {
        const double sign = n % 2 != 0 ? -1.0 : 1.0;
        EXPECT_EQ(leg(n, -1), sign);
        EXPECT_EQ(leg(n, -0.3), sign * leg(n, 0.3));  // the recurrence runs on |x|
    }
    // P_10(0.3), from high-precision arithmetic.
    EXPECT_NEAR(leg(10, 0.3), 0.2514763495160156264326175, 2e-16);
}
