#include <gtest/gtest.h>

#include <stdexcept>

#include "tabul/values.hpp"

using Tabul::mat_val;
using Tabul::MatVal;

TEST(MatVal, PackedConstructorChecksSizes) {
    const MatVal m({1, 2, 3, 4, 5, 6}, MatVal::Array{6, 5, 4, 3, 2, 1}, 2, 3);
    EXPECT_EQ(m.Re(1, 2), 6.0);
    EXPECT_EQ(m.Im(1, 2), 1.0);
    EXPECT_TRUE(m.HasImag());
    EXPECT_FALSE(m.HasPtrs());
    EXPECT_THROW(MatVal({1, 2, 3}, std::nullopt, 2, 2), std::invalid_argument);
    EXPECT_THROW(MatVal({1, 2, 3, 4}, MatVal::Array{1}, 2, 2), std::invalid_argument);
    EXPECT_THROW(MatVal({}, std::nullopt, -1, 0), std::invalid_argument);
    EXPECT_THROW((void)m.Re(2, 0), std::out_of_range);
}

TEST(MatVal, ViewReadsThroughOffsetAndStride) {
    // A 2 x 2 view starting at place 3 of arrays laid out with stride 4.
    MatVal::Array re = {0, 0, 0, 11, 21, 0, 0, 12, 22, 0};
    MatVal::Array im = {0, 0, 0, -11, -21, 0, 0, -12, -22, 0};
    const auto v = MatVal::View(re, im, mat_val{2, 2, 4}, 3);
    EXPECT_EQ(v->Re(0, 0), 11.0);
    EXPECT_EQ(v->Re(1, 0), 21.0);
    EXPECT_EQ(v->Re(0, 1), 12.0);
    EXPECT_EQ(v->Im(1, 1), -22.0);
}

TEST(MatVal, ViewOutsideItsArraysIsRefused) {
    const MatVal::Array re(10, 1.0);
    EXPECT_NO_THROW(MatVal::View(re, std::nullopt, mat_val{2, 2, 4}, 4));  // last element at 9
    EXPECT_THROW(MatVal::View(re, std::nullopt, mat_val{2, 2, 4}, 5), std::invalid_argument);
    EXPECT_THROW(MatVal::View(re, std::nullopt, mat_val{3, 1, 3}, -1), std::invalid_argument);
    EXPECT_THROW(MatVal::View(re, std::nullopt, mat_val{3, 2, 2}, 0), std::invalid_argument);
    EXPECT_THROW(MatVal::View(re, MatVal::Array(9), mat_val{3, 1, 3}, 0), std::invalid_argument);
    // Huge strides must not wrap around in the bounds computation.
    EXPECT_THROW(MatVal::View(re, std::nullopt, mat_val{1, 3, 2147483647}, 0), std::invalid_argument);
    EXPECT_THROW(MatVal::View(re, std::nullopt, mat_val{2147483647, 1, 2147483647}, 2147483647),
                 std::invalid_argument);
    // An empty view reads nothing and is accepted.
    EXPECT_NO_THROW(MatVal::View(re, std::nullopt, mat_val{0, 1, 0}, 10));
}

TEST(MatVal, NestedHoldsValues) {
    std::vector<MatVal::Element> items = {std::make_shared<Tabul::NumVal>(1.0, 0.0),
                                          std::make_shared<Tabul::TextVal>("x")};
    const auto n = MatVal::Nested(items, 2, 1);
    EXPECT_TRUE(n->HasPtrs());
    EXPECT_FALSE(n->HasImag());
    EXPECT_NE(dynamic_cast<const Tabul::TextVal*>(&n->At(1, 0)), nullptr);
    EXPECT_THROW((void)n->Re(0, 0), std::logic_error);
    EXPECT_THROW(MatVal::Nested({nullptr}, 1, 1), std::invalid_argument);
}
