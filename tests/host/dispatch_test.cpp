// Argument kinds, shapes and the order in which the entry points examine
// them; every rejection must name the host position of the argument.

#include <gtest/gtest.h>

#include <cmath>

#include "host_values.hpp"

using namespace testing_host;
using Oru::Special;

TEST(Dispatch, TwoArgumentFunctionsRejectWrongKinds) {
    const auto x = scalar(2.0);
    const auto t = text();
    EXPECT_TRUE(raises([&] { Special::Bei(x.get(), t.get()); }, "must be a scalar or a matrix", 2));
    EXPECT_TRUE(raises([&] { Special::Bei(t.get(), x.get()); }, "must be a scalar or a matrix", 1));
    EXPECT_TRUE(raises([&] { Special::Bei(t.get(), t.get()); }, "must be a scalar or a matrix", 1));
    const auto v = vec({1.0});
    EXPECT_TRUE(raises([&] { Special::Tcheb(v.get(), nullptr); }, "must be a scalar or a matrix", 2));
    EXPECT_TRUE(raises([&] { Special::Tcheb(nullptr, v.get()); }, "must be a scalar or a matrix", 1));
}

TEST(Dispatch, GammaChoosesItsFormByTheSecondArgument) {
    const auto x = scalar(2.0);
    const auto t = text();
    EXPECT_TRUE(raises([&] { Special::Gamma(t.get(), nullptr); }, "must be a scalar or a vector", 1));
    EXPECT_TRUE(raises([&] { Special::Gamma(t.get(), x.get()); }, "must be a scalar or a matrix", 1));
    EXPECT_TRUE(raises([&] { Special::Gamma(x.get(), t.get()); }, "must be a scalar or a matrix", 2));
    EXPECT_TRUE(raises([&] { Special::LnGamma(t.get()); }, "must be a scalar or a vector", 1));
    EXPECT_TRUE(raises([&] { Special::LnGamma(nullptr); }, "must be a scalar or a vector", 1));
    const auto m = matrix(2, 2);
    EXPECT_TRUE(raises([&] { Special::Gamma(m.get(), nullptr); }, "must be vector", 1));
    const auto n = nested(2, 1);
    EXPECT_TRUE(raises([&] { Special::LnGamma(n.get()); }, "may not be nested", 1));
}

TEST(Dispatch, FourArgumentFunctionsCheckInTheirOrder) {
    const auto s = scalar(0.5);
    const auto t = text();
    const auto v = vec({0.1, 0.2});
    const auto w = vec({0.1, 0.2});
    const auto m32 = matrix(3, 2);
    const auto n = nested(2, 1);
    const auto n32 = nested(3, 2);
    for (auto fn : {&Special::Fhyper, &Special::Jac}) {
        // Arguments 2 and 3 are looked at before argument 1.
        EXPECT_TRUE(raises([&] { fn(t.get(), t.get(), s.get(), s.get()); }, "must be scalar", 2));
        EXPECT_TRUE(raises([&] { fn(s.get(), s.get(), v.get(), s.get()); }, "must be scalar", 3));
        // Nesting of argument 4 is reported before the kind of argument 1.
        EXPECT_TRUE(raises([&] { fn(t.get(), s.get(), s.get(), n.get()); }, "may not be nested", 4));
        EXPECT_TRUE(raises([&] { fn(v.get(), s.get(), s.get(), w.get()); }, "must be scalar", 1));
        EXPECT_TRUE(raises([&] { fn(m32.get(), s.get(), s.get(), s.get()); }, "must be vector", 1));
        EXPECT_TRUE(raises([&] { fn(n32.get(), s.get(), s.get(), s.get()); }, "may not be nested", 1));
        EXPECT_TRUE(raises([&] { fn(s.get(), s.get(), s.get(), m32.get()); }, "must be vector", 4));
        EXPECT_TRUE(
            raises([&] { fn(t.get(), s.get(), s.get(), s.get()); }, "must be a scalar or a matrix", 1));
        EXPECT_TRUE(
            raises([&] { fn(s.get(), s.get(), s.get(), nullptr); }, "must be a scalar or a matrix", 4));
        EXPECT_TRUE(
            raises([&] { fn(nullptr, s.get(), s.get(), t.get()); }, "must be a scalar or a matrix", 1));
    }
}

TEST(Dispatch, ThreeArgumentFunctionsCheckInTheirOrder) {
    const auto s = scalar(0.5);
    const auto t = text();
    const auto v = vec({0.1, 0.2});
    const auto m32 = matrix(3, 2);
    const auto n = nested(2, 1);
    for (auto fn : {&Special::Mhyper, &Special::Ibeta}) {
        // All nesting tests come before all kind tests.
        EXPECT_TRUE(raises([&] { fn(t.get(), n.get(), s.get()); }, "may not be nested", 2));
        EXPECT_TRUE(raises([&] { fn(s.get(), t.get(), n.get()); }, "may not be nested", 3));
        EXPECT_TRUE(raises([&] { fn(s.get(), nullptr, t.get()); }, "must be a scalar or a matrix", 2));
        EXPECT_TRUE(raises([&] { fn(s.get(), s.get(), t.get()); }, "must be a scalar or a matrix", 3));
        // Two vectors are an illegal context, whatever their shape.
        EXPECT_TRUE(raises([&] { fn(v.get(), m32.get(), s.get()); }, "illegal context", kNone));
        EXPECT_TRUE(raises([&] { fn(v.get(), v.get(), v.get()); }, "illegal context", kNone));
        EXPECT_TRUE(raises([&] { fn(m32.get(), s.get(), s.get()); }, "must be vector", 1));
        EXPECT_TRUE(raises([&] { fn(s.get(), m32.get(), s.get()); }, "must be vector", 2));
        EXPECT_TRUE(raises([&] { fn(s.get(), s.get(), m32.get()); }, "must be vector", 3));
    }
}

TEST(Dispatch, VectorShapeChecksOfTheTwoArgumentForms) {
    const auto s = scalar(2.0);
    const auto v3 = vec({0.1, 0.2, 0.3});
    const auto v4 = vec({0.1, 0.2, 0.3, 0.4});
    const auto m32 = matrix(3, 2);
    const auto n3 = nested(3, 1);
    const auto n4 = nested(4, 1);
    const auto m22 = matrix(2, 2);
    EXPECT_TRUE(raises([&] { Special::Leg(v3.get(), v4.get()); }, "array size mismatch", kNone));
    EXPECT_TRUE(raises([&] { Special::Leg(m32.get(), v4.get()); }, "must be vector", 1));
    EXPECT_TRUE(raises([&] { Special::Leg(v3.get(), m32.get()); }, "must be vector", 2));
    // The row test comes before the nesting tests.
    EXPECT_TRUE(raises([&] { Special::Leg(n3.get(), n4.get()); }, "array size mismatch", kNone));
    EXPECT_TRUE(raises([&] { Special::Leg(n3.get(), v3.get()); }, "may not be nested", 1));
    EXPECT_TRUE(raises([&] { Special::Leg(v3.get(), n3.get()); }, "may not be nested", 2));
    EXPECT_TRUE(raises([&] { Special::Lag(s.get(), m22.get()); }, "must be vector", 2));
    EXPECT_TRUE(raises([&] { Special::Lag(s.get(), n3.get()); }, "may not be nested", 2));
    EXPECT_TRUE(raises([&] { Special::Lag(m22.get(), s.get()); }, "must be vector", 1));
    EXPECT_TRUE(raises([&] { Special::Lag(n3.get(), s.get()); }, "may not be nested", 1));
}

TEST(Dispatch, ScalarCallsReturnTheKernelsComplexValue) {
    const auto n = scalar(3.0);
    const auto x = scalar(2.0);
    const auto r = Special::Tcheb(n.get(), x.get());
    EXPECT_EQ(asScalar(r).Data.rp, 26.0);
    EXPECT_EQ(asScalar(r).Data.ip, 0.0);
    EXPECT_FALSE(std::signbit(asScalar(r).Data.ip));
    const auto c = scalar(3.0, 1.0);
    EXPECT_TRUE(raises([&] { Special::Tcheb(n.get(), c.get()); }, "must be real", 2));
    EXPECT_TRUE(raises([&] { Special::Ucheb(c.get(), x.get()); }, "must be real", 1));
}
