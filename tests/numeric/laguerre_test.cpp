#include <gtest/gtest.h>

#include "numeric/polynomials/laguerre.hpp"

using namespace Oru;

TEST(Laguerre, Values) {
    const auto lag = laguerreRecurrence;
    EXPECT_EQ(lag(1, 40.0), -39.0);
    EXPECT_EQ(lag(1000, 0), 1.0);
    EXPECT_EQ(lag(2, 1), -0.5);
    EXPECT_DOUBLE_EQ(lag(3, 2), -1.0 / 3.0);
    // L_10(3.5), from high-precision arithmetic.
    EXPECT_NEAR(lag(10, 3.5), 0.2211135054223331404320988, 4e-16);
}
